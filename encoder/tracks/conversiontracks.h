#pragma once

#include "commandline.h"
#include "probe/mediainfo.h"
#include "tracks/trackplan.h"

#include <optional>
#include <string>
#include <vector>

namespace encoder {

// Plans the input's tracks for the request's output and writes one line per input stream on the
// error output; the request then carries the switches that keep them and how many it keeps.
// A profile that maps its own streams, or an input that cannot be read, is left to FFmpeg.
void planConversionTracks(ConversionRequest &request, const std::vector<std::string> &container,
                          const MediaProbe &probe);

// The plan alone, for a step that must know the output's tracks first; empty when the profile
// maps its own streams or the input cannot be read.
std::optional<TrackPlan> conversionTrackPlan(const ConversionRequest &request,
                                             const std::vector<std::string> &container, const MediaProbe &probe);

} // namespace encoder
