#pragma once

#include "commandline.h"

namespace encoder {

// Converts with FFmpeg into a part file and moves it over the output only when it checks
// out. Returns the exit status.
int runConversion(const ConversionRequest &request);

} // namespace encoder
