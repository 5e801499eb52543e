#pragma once

#include <optional>
#include <string>
#include <vector>

namespace encoder {

// The video's rate held under a ceiling: the parameters with their own rate switches replaced by
// a quality the codec aims at and the ceiling as its most.
struct CappedRate {
    std::vector<std::string> parameters;
    // The quality asked for, as the codec counts it; empty for a codec that has no quality mode
    // that honours a most, which is then given the ceiling as its bit rate.
    std::optional<std::string> quality;
};

// Empty when the video is copied or left out: its rate is not ours to choose.
std::optional<CappedRate> cappedRate(const std::vector<std::string> &parameters, double ceiling);

// The line on the error output that says what was asked: "video rate: quality 23, at most 1000 kb/s".
std::string cappedRateLine(const CappedRate &capped, double ceiling);

} // namespace encoder
