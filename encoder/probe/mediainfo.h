#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace encoder {

struct StreamInfo {
    std::string kind; // "Video", "Audio", "Subtitle", "Data", ...
    std::string codec;
    // Video
    std::string pixelFormat;
    int width = 0;
    int height = 0;
    std::optional<double> framesPerSecond;
    std::optional<double> pixelAspect; // a pixel's width over its height, when the file states one
    int rotation = 0;                  // degrees clockwise the picture is turned for display: 0, 90, 180, 270
    std::string profile;               // the codec's profile by libavcodec's name ("Main", "High"), if known
    int level = 0;                     // as libavcodec counts it: 31 for H.264's 3.1; 0 when unknown
    // Audio
    int sampleRate = 0;
    std::string channels;
    std::optional<double> durationSeconds; // the stream's own, when the container gives one
    std::optional<std::int64_t> bitRate;   // bits per second, when the container or codec says
    std::string language;                  // the "language" tag as given
    std::string title;
    bool isDefault = false;
    bool isForced = false;
    bool attachedPicture = false; // cover art: a video stream of one picture

    bool operator==(const StreamInfo &) const = default;
};

struct MediaInfo {
    std::string formatName;
    std::optional<double> durationSeconds;
    // libavformat's guess from the file's size and a bit rate, for a file that states no length.
    bool durationGuessed = false;
    std::optional<double> startSeconds;
    std::optional<std::int64_t> bitRate; // bits per second
    std::vector<StreamInfo> streams;

    bool operator==(const MediaInfo &) const = default;
};

enum class ProbeDepth {
    Full,  // reads ahead and decodes what it takes to know every figure, as FFmpeg does
    Kinds, // what it takes to know the streams and their kinds, no more
};

struct MediaProbe {
    std::optional<MediaInfo> info;
    std::string error; // av_strerror's text when info is empty
    ProbeDepth depth = ProbeDepth::Full;
};

// Opens the file in-process with libavformat, always as a local file: a path that looks like
// a URL or an option stays a path.
MediaProbe probeMedia(const std::string &path, ProbeDepth depth = ProbeDepth::Full);

} // namespace encoder
