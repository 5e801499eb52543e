#pragma once

#include "probe/mediainfo.h"

#include <optional>
#include <string>
#include <string_view>

namespace encoder {

// The last line of a probe report: what the probe found, in a form the encoder reads back
// when the same input is converted, so that a conversion needs no probe of its own. Loading
// libavformat for one costs about as much as FFmpeg's whole start-up.
inline constexpr std::string_view FactsLinePrefix = "  Facts: ";

// The report line for what a probe of path found; empty when the file cannot be looked at.
// The file's size and times go with it: any change to the file makes the facts stale.
std::string factsLine(const std::string &path, const MediaInfo &info);

// The value of "-source-facts": what a probe of path found, as its report's facts line carries
// it. Empty when the text is no facts of ours or the file is no longer the one probed.
std::optional<MediaInfo> factsOf(const std::string &path, std::string_view text);

} // namespace encoder
