#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct StreamInfo {
    std::string kind; // "Video", "Audio", "Subtitle", "Data", ...
    std::string codec;
    // Video
    std::string pixelFormat;
    int width = 0;
    int height = 0;
    std::optional<double> framesPerSecond;
    // Audio
    int sampleRate = 0;
    std::string channels;
};

struct MediaInfo {
    std::string formatName;
    std::optional<double> durationSeconds;
    std::optional<double> startSeconds;
    std::optional<std::int64_t> bitRate; // bits per second
    std::vector<StreamInfo> streams;
};

struct MediaProbe {
    std::optional<MediaInfo> info;
    std::string error; // av_strerror's text when info is empty
};

// Opens the file in-process with libavformat, always as a local file: a path that looks like
// a URL or an option stays a path.
MediaProbe probeMedia(const std::string &path);

// libavformat's own messages would interleave with our report; they are silenced.
void silenceLibavLog();
