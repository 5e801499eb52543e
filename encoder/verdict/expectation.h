#pragma once

#include "probe/mediainfo.h"
#include "probe/muxertable.h"
#include "tracks/trackrequest.h"

#include <optional>
#include <string>
#include <vector>

namespace encoder {

// What a conversion of the input with these switches should give: the stream kinds it keeps
// and how long it should last.
struct Expectation {
    bool video = false;
    bool audio = false;
    std::optional<double> seconds;
    // The tracks the encoder planned, when it planned them.
    std::optional<TrackCounts> tracks;
};

Expectation expectedOutput(const MediaInfo &input, const std::vector<std::string> &parameters, MuxerKinds muxer = {});

// Muxers pad, round and drop a last frame, so only a shortfall past max(1 s, 5 %) counts.
bool clearlyShort(double actualSeconds, double expectedSeconds);

} // namespace encoder
