#pragma once

#include "commandline.h"
#include "probe/mediainfo.h"

#include <optional>

namespace encoder {

// The most the video may get: the profile's ceiling, or the source's own rate when that is lower,
// so that a low-rate source is never inflated. Empty without a ceiling.
std::optional<double> videoCeiling(const ConversionRequest &request, const MediaProbe &probe);

// Puts the ceiling into the request's parameters and says so on the error output. A conversion
// into a size holds its video under the ceiling itself.
void planVideoCeiling(ConversionRequest &request, const MediaProbe &probe);

} // namespace encoder
