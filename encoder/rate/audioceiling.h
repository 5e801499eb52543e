#pragma once

#include "commandline.h"
#include "probe/mediainfo.h"

#include <optional>

namespace encoder {

// A converted audio track gets no more than its source had: the profile's audio bit rate, or the
// highest of the input's audio rates when that is lower, but never under LeastAudioCeiling (a
// codec of another kind may need more). Empty when the profile gives no rate, or a source's rate is
// unknown, or nothing is lowered.
inline constexpr double LeastAudioCeiling = 64000;
std::optional<double> audioCeiling(const std::vector<std::string> &parameters, const MediaInfo &input);

// Lowers the profile's audio bit rate to the ceiling and says so on the error output. A conversion
// into a size counts its audio itself.
void planAudioCeiling(ConversionRequest &request, const MediaProbe &probe);

} // namespace encoder
