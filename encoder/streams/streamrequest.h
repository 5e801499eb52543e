#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace encoder {

// The box a picture is fitted into, its display shape kept.
struct VideoBox {
    int width = 0;
    int height = 0;
};

// "-source-aspect stretch": the picture is stretched to the box, as -s would.
struct Stretch {};
// The display shape the user states for a source whose own is wrong: width over height.
using SourceAspect = std::variant<double, Stretch>;

// What the profile asks of the output's streams, beyond FFmpeg's own switches.
struct StreamRequest {
    std::optional<VideoBox> videoBox;
    std::optional<SourceAspect> sourceAspect;
    // The most the video may get, in bits per second; the encoder aims at a quality under it.
    std::optional<double> videoCeiling;
    // A stream that already is what the profile makes is copied, not converted.
    bool keepCompatible = false;
};

std::optional<VideoBox> parseVideoBox(const std::string &text);
std::optional<SourceAspect> parseSourceAspect(const std::string &text);
// "1000k", "1.5M", "64000": bits per second, k = 1000 as FFmpeg counts a rate.
std::optional<double> parseBitRate(const std::string &text);

// Takes our stream switches (-video-box WxH, -source-aspect W:H|stretch, -video-ceiling RATE,
// -keep-streams yes|no) out of the switches meant for FFmpeg, the last of each counting. False
// when one has no value or a value that means nothing.
bool takeStreamSwitches(std::vector<std::string> &parameters, StreamRequest &request);

} // namespace encoder
