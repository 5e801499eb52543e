#include "streams/sourcefacts.h"

#include <utility>

namespace encoder {

DisplaySize displaySize(const StreamInfo &video, const std::optional<SourceAspect> &statedAspect)
{
    DisplaySize shown{double(video.width), double(video.height)};
    // FFmpeg turns the frames before any filter sees them, so the stated shape is of the turned picture.
    if (video.rotation == 90 || video.rotation == 270)
        std::swap(shown.width, shown.height);
    if (statedAspect && std::holds_alternative<double>(*statedAspect))
        shown.width = shown.height * std::get<double>(*statedAspect);
    else if (video.pixelAspect)
        shown.width *= *video.pixelAspect;
    return shown;
}

VideoBox boxFor(VideoBox box, DisplaySize shown)
{
    const bool portraitBox = box.height > box.width;
    if (shown.width != shown.height && portraitBox != shown.portrait())
        std::swap(box.width, box.height);
    return box;
}

const StreamInfo *sourceVideo(const MediaInfo &input)
{
    for (const StreamInfo &stream : input.streams) {
        if (stream.kind == "Video" && !stream.attachedPicture)
            return &stream;
    }
    return nullptr;
}

std::optional<double> sourceVideoRate(const MediaInfo &input)
{
    const StreamInfo *video = sourceVideo(input);
    if (!video)
        return std::nullopt;
    if (video->bitRate)
        return double(*video->bitRate);
    if (!input.bitRate)
        return std::nullopt;
    double rest = double(*input.bitRate);
    for (const StreamInfo &stream : input.streams) {
        if (stream.kind != "Audio")
            continue;
        if (!stream.bitRate)
            return std::nullopt; // an audio track of unknown rate leaves the video's unknown
        rest -= double(*stream.bitRate);
    }
    return rest > 0 ? std::optional(rest) : std::nullopt;
}

} // namespace encoder
