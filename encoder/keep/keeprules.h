#pragma once

#include "probe/mediainfo.h"
#include "streams/streamrequest.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace encoder {

// The value after the last of these switches, as FFmpeg lets the last one count.
std::optional<std::string> lastValue(const std::vector<std::string> &parameters,
                                     std::initializer_list<std::string_view> names);

// The codec an encoder makes: "libx264" makes "h264", "libopus" "opus".
std::string codecOfEncoder(const std::string &encoder);

// Why the input's video must be converted to be what the profile makes ("H.265, the profile makes
// H.264"), or nothing when a copy of it is. Whole-file reasons (a part, a burned subtitle, a target
// size) are the caller's.
std::optional<std::string> videoConversionReason(const StreamInfo &video, const MediaInfo &input,
                                                 const std::vector<std::string> &parameters,
                                                 const StreamRequest &streams);

// The same for an audio stream.
std::optional<std::string> audioConversionReason(const StreamInfo &audio, const std::vector<std::string> &parameters);

} // namespace encoder
