#pragma once

#include "commandline.h"

#include <string>
#include <vector>

namespace encoder {

// Converts into at most the size request.fit gives: first once at a quality, with the bit rate
// that leaves room for the audio and the container as its most, so that an easy source gets a
// small file. Over the size, or for a codec without a quality mode, the video goes in two passes
// at that bit rate, and once more, lower, while the output still comes out over, at most twice. Returns the exit
// status.
int runFitConversion(const ConversionRequest &request, const std::string &ffmpeg,
                     const std::vector<std::string> &container);

} // namespace encoder
