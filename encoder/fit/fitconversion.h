#pragma once

#include "commandline.h"

#include <QString>

#include <string>
#include <vector>

namespace encoder {

// Converts into at most the size request.fit gives: the video in two passes at the bit rate that
// leaves room for the audio and the container, and once more, lower, while the output still
// comes out over, at most twice. Returns the exit status. Needs a QCoreApplication; runs its
// event loop.
int runFitConversion(const ConversionRequest &request, const QString &ffmpeg,
                     const std::vector<std::string> &container);

} // namespace encoder
