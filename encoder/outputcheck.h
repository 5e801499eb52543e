#pragma once

#include <optional>
#include <string>

// FFmpeg exits 0 after many damaged inputs and after a graceful stop, so its word is not
// enough: the file must exist, hold data, open with libavformat and last about as long as
// asked. Returns why it does not, or nothing when it does. Without an expected duration only
// the first three are checked.
std::optional<std::string> outputProblem(const std::string &path, std::optional<double> expectedSeconds);
