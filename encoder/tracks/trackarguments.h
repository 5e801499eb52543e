#pragma once

#include "tracks/trackplan.h"

#include <string>
#include <vector>

namespace encoder {

// The FFmpeg switches that keep what the plan keeps, with its flags, languages and titles, and
// draw its burned subtitle. A profile's own -vf is taken out of parameters into the burn's filter,
// after it, so that neither is lost.
std::vector<std::string> trackArguments(const TrackPlan &plan, const OutputTraits &output, const std::string &input,
                                        std::vector<std::string> &parameters);

// The subtitles filter on a file, its name escaped for the option and the filtergraph alike.
std::string subtitlesFilter(const std::string &path, int subtitleOrdinal);

} // namespace encoder
