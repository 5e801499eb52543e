#pragma once

#include "probe/mediainfo.h"

#include <optional>
#include <string>
#include <vector>

// What a conversion of the input with these switches should give: the stream kinds it keeps
// and how long it should last.
struct Expectation {
    bool video = false;
    bool audio = false;
    std::optional<double> seconds;
};

// The kinds the output's muxer takes at all: FFmpeg maps no stream of a kind it has no codec
// for (no video into .mp3), switches or not.
struct MuxerKinds {
    bool video = true;
    bool audio = true;
};

Expectation expectedOutput(const MediaInfo &input, const std::vector<std::string> &parameters,
                           MuxerKinds muxer = {});

// Muxers pad, round and drop a last frame, so only a shortfall past max(1 s, 5 %) counts.
bool clearlyShort(double actualSeconds, double expectedSeconds);
