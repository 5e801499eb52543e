#pragma once

#include "probe/mediainfo.h"

#include <string>
#include <vector>

namespace encoder {

// The report the window cuts apart: the path once, then "Duration", then the first "Video"
// line with the frame size after its second comma. Nothing else may carry a comma inside a
// field, and no metadata is printed, so the cuts cannot land elsewhere.
std::vector<std::string> probeReportLines(const std::string &path, const MediaInfo &info);

// The line printed when the input cannot be opened.
std::string probeFailureLine(const std::string &path, const std::string &reason);

} // namespace encoder
