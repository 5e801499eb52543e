#pragma once

#include <optional>
#include <string>

namespace encoder {

// The kinds the output's muxer takes at all: FFmpeg maps no stream of a kind it has no codec
// for (no video into .mp3), switches or not.
struct MuxerKinds {
    bool video = true;
    bool audio = true;
};

// The muxer libavformat guesses for a file of this name, from a table made from libavformat
// at build time; empty for a name the table cannot answer for.
std::optional<std::string> tabledMuxer(const std::string &path);

// The kinds a conversion into the muxer of this name keeps, from the same table; empty for a
// name no muxer has.
std::optional<MuxerKinds> tabledMuxerKinds(const std::string &muxer);

} // namespace encoder
