#pragma once

#include "verdict/expectation.h"

#include <optional>
#include <string>

namespace encoder {

struct OutputCheck {
    // Why the file is no conversion of the input at all; empty when it is one.
    std::optional<std::string> problem;
    // What the output lasts, when its container says so without a full read.
    std::optional<double> seconds;
};

// Why the file at path cannot be FFmpeg's output: missing or empty. Empty when it may be.
std::optional<std::string> writtenProblem(const std::string &path);

// FFmpeg exits 0 after many damaged inputs and after a graceful stop, so its word is not
// enough: the file must exist, hold data, open with libavformat and hold every stream kind
// the conversion keeps. Its length is no reason to throw it away: the caller judges that.
OutputCheck checkOutput(const std::string &path, const Expectation &expected);

} // namespace encoder
