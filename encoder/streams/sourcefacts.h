#pragma once

#include "probe/mediainfo.h"
#include "streams/streamrequest.h"

#include <optional>

namespace encoder {

// The picture as a viewer sees it: its pixel aspect and rotation applied, or the shape the user
// states for it.
struct DisplaySize {
    double width = 0;
    double height = 0;
    bool portrait() const { return height > width; }
};
DisplaySize displaySize(const StreamInfo &video, const std::optional<SourceAspect> &statedAspect);

// The box as it fits this picture: a portrait picture gets a landscape box turned, and the other
// way round.
VideoBox boxFor(VideoBox box, DisplaySize shown);

// The input's first video stream that is a film, not cover art.
const StreamInfo *sourceVideo(const MediaInfo &input);

// The video's bit rate in bits per second: its own when the file states it, or what the whole
// file's rate leaves after its audio. Empty when neither is known.
std::optional<double> sourceVideoRate(const MediaInfo &input);

} // namespace encoder
