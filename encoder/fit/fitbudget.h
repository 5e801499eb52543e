#pragma once

#include <optional>
#include <string_view>

namespace encoder {

// What a container adds to its streams: an index entry or a packet header per frame, which
// grow with the length, and for some a share of every byte.
struct ContainerAllowance {
    double bytesPerSecond = 0;
    double share = 0;
};
ContainerAllowance containerAllowance(std::string_view muxer);

// We aim under the size by this much: two-pass rate control lands within about a percent
// either side of its bit rate, so the output lands 1-3 % under.
inline constexpr double FitMargin = 0.02;
// Below this no video codec shows more than blocks.
inline constexpr double LeastVideoBitRate = 32000;

struct FitRequest {
    double targetBytes = 0;
    double seconds = 0;
    double audioBitRate = 0; // bits per second; 0 without audio
    bool video = true;
    ContainerAllowance container;
};

// Why the length cannot fit, with the least size that would.
struct Unfit {
    double audioBytes = 0;
    std::optional<double> videoBitRate; // set when the video, not the audio, is what does not fit
    double leastBytes = 0;
};

struct FitBudget {
    double videoBitRate = 0; // 0 for an output without video
    std::optional<Unfit> unfit;
};
FitBudget fitBudget(const FitRequest &request);

// The video bit rate for another try after an output of reachedBytes, of which the video took
// videoBytes: the whole overshoot comes off the video, which alone is ours to lower.
double loweredVideoBitRate(double videoBitRate, double reachedBytes, double videoBytes, double targetBytes);

} // namespace encoder
