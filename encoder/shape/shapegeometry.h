#pragma once

#include "probe/mediainfo.h"
#include "streams/sourcefacts.h"
#include "streams/streamrequest.h"

#include <optional>
#include <vector>

namespace encoder {

// What becomes of the picture: scaled to width x height with square pixels, inside a frame of
// frameWidth x frameHeight whose rest is black bars. Without a box, only the stated display shape
// is set (statedAspect), nothing scaled.
struct PictureShape {
    DisplaySize shown;
    int width = 0;
    int height = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    bool stretched = false;
    std::optional<double> statedAspect;

    bool barred() const { return frameWidth != width || frameHeight != height; }
};

// The shape the request gives the video. fixedSizes: the only frame sizes the video codec takes,
// empty when it takes any. Empty when nothing is to change.
std::optional<PictureShape> shapePicture(const StreamInfo &video, const StreamRequest &request,
                                         const std::vector<VideoBox> &fixedSizes);

} // namespace encoder
