#pragma once

#include "core/protocol/tracks.h"
#include "probe/mediainfo.h"

#include <string>
#include <vector>

namespace encoder {

// The stream as both sides name it; index is its position in the input.
protocol::Track streamTrack(std::size_t index, const StreamInfo &stream);

// The report the window cuts apart: the path once, then "Duration", then the first "Video"
// line with the frame size after its second comma. Nothing else may carry a comma inside a
// field; a stream's title is the only metadata printed, on a line of its own.
std::vector<std::string> probeReportLines(const std::string &path, const MediaInfo &info);

// The line printed when the input cannot be opened.
std::string probeFailureLine(const std::string &path, const std::string &reason);

} // namespace encoder
