#pragma once

#include "commandline.h"
#include "probe/mediainfo.h"

#include <optional>
#include <string>
#include <vector>

namespace encoder {

// What becomes of each video and audio stream the output keeps.
struct StreamKeep {
    int index = 0;              // in the input
    std::optional<int> ordinal; // an audio stream's place among the output's
    bool video = false;
    std::string label;  // "0: H.264 1280x720"
    std::string reason; // why it is converted; empty for a copy
};

// "copied: 0: H.264 1280x720", "converted: 1: AAC 5.1 (6 channels, the profile makes 2)".
std::string keepLine(const StreamKeep &stream);

// Takes out the switches only an encoder reads for what is copied, and has FFmpeg copy it.
void applyKeep(std::vector<std::string> &parameters, const std::vector<StreamKeep> &streams);

// With -keep-streams yes, decides for each stream the output keeps whether it already is what the
// profile makes, logs it, and has FFmpeg copy those that are. The track plan the tracks step makes
// from the same request tells which streams the output keeps.
void keepCompatibleStreams(ConversionRequest &request, const std::vector<std::string> &container,
                           const MediaProbe &probe);

} // namespace encoder
