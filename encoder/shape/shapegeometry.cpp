#include "shape/shapegeometry.h"

#include <algorithm>
#include <cmath>

namespace encoder {

namespace {

// The even number nearest to wanted, at most limit: 4:2:0 video has no odd sizes.
int evenNear(double wanted, double limit)
{
    const int nearest = 2 * int(std::lround(wanted / 2));
    const int most = 2 * int(std::floor(limit / 2));
    return std::max(2, std::min(nearest, most));
}

// The largest size the codec takes inside the box; the box itself when none fits, for FFmpeg to
// refuse in its own words.
VideoBox fixedFrame(VideoBox box, const std::vector<VideoBox> &fixedSizes)
{
    std::optional<VideoBox> best;
    for (const VideoBox &size : fixedSizes) {
        if (size.width <= box.width && size.height <= box.height &&
            (!best || size.width * size.height > best->width * best->height))
            best = size;
    }
    return best.value_or(box);
}

} // namespace

std::optional<PictureShape> shapePicture(const StreamInfo &video, const StreamRequest &request,
                                         const std::vector<VideoBox> &fixedSizes)
{
    PictureShape shape;
    shape.shown = displaySize(video, request.sourceAspect);
    if (shape.shown.width <= 0 || shape.shown.height <= 0)
        return std::nullopt;
    const bool stretch = request.sourceAspect && std::holds_alternative<Stretch>(*request.sourceAspect);
    if (!request.videoBox) {
        if (!request.sourceAspect || stretch)
            return std::nullopt;
        shape.statedAspect = std::get<double>(*request.sourceAspect);
        return shape;
    }
    const double shownWidth = shape.shown.width;
    const double shownHeight = shape.shown.height;
    if (stretch || !fixedSizes.empty()) {
        // A codec of fixed sizes gets its frame as it is: a turned one would not be among them.
        const VideoBox frame = fixedSizes.empty() ? *request.videoBox : fixedFrame(*request.videoBox, fixedSizes);
        shape.frameWidth = frame.width;
        shape.frameHeight = frame.height;
        shape.stretched = stretch;
        if (stretch) {
            shape.width = frame.width;
            shape.height = frame.height;
        } else {
            const double scale = std::min(frame.width / shownWidth, frame.height / shownHeight);
            shape.width = evenNear(shownWidth * scale, frame.width);
            shape.height = evenNear(shownHeight * scale, frame.height);
        }
        return shape;
    }
    const VideoBox box = boxFor(*request.videoBox, shape.shown);
    const double scale = std::min({box.width / shownWidth, box.height / shownHeight, 1.0});
    shape.width = shape.frameWidth = evenNear(shownWidth * scale, std::min<double>(box.width, shownWidth));
    shape.height = shape.frameHeight = evenNear(shownHeight * scale, std::min<double>(box.height, shownHeight));
    return shape;
}

} // namespace encoder
