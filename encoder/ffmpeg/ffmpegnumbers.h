#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Values as FFmpeg reads them from its command line. A plain decimal number reads here as FFmpeg
// reads it; anything else (a k or M suffix, "ntsc", "1:30") is read by libav itself, which is
// loaded for it.
namespace encoder {

// av_strtod over the whole text: "128000", "128k", "1.5M".
std::optional<double> ffmpegNumber(const std::string &text);

// av_parse_time of a duration, in microseconds: "12.5", "1:30", "-2", "500ms".
std::optional<std::int64_t> ffmpegDuration(const std::string &text);

// av_parse_video_rate: "25", "29.97", "30000/1001", "ntsc".
std::optional<double> ffmpegFrameRate(const std::string &text);

// The channels of a layout as av_channel_layout_from_string reads it: "mono", "stereo", "5.1(side)".
std::optional<int> ffmpegChannelCount(const std::string &layout);

} // namespace encoder
