#include "fit/fitbudget.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace encoder {

namespace {

// Another try aims this much further under, so that a rate control that overshot once does not
// overshoot by as much again.
constexpr double RetryMargin = 0.005;

// The room left for the streams in a size, after the margin and the container's share.
double streamBytes(double targetBytes, double seconds, ContainerAllowance container)
{
    return targetBytes * (1 - FitMargin) * (1 - container.share) - container.bytesPerSecond * seconds;
}

// The size whose room for the streams is exactly bytes.
double sizeFor(double bytes, double seconds, ContainerAllowance container)
{
    return (bytes + container.bytesPerSecond * seconds) / ((1 - FitMargin) * (1 - container.share));
}

} // namespace

ContainerAllowance containerAllowance(std::string_view muxer)
{
    // Measured on FFmpeg 5.1 with 25 frames and about 40 audio packets a second.
    struct Known {
        std::array<std::string_view, 6> muxers;
        ContainerAllowance allowance;
    };
    static constexpr Known Table[] = {
        {{"mp4", "mov", "3gp", "3g2", "ipod", "psp"}, {700, 0}},
        {{"matroska", "webm"}, {600, 0}},
        {{"avi"}, {2600, 0}},
        // 4 bytes of every 188, and a part-filled packet for every frame of each stream.
        {{"mpegts"}, {6700, 0.025}},
    };
    for (const Known &known : Table) {
        if (std::find(known.muxers.begin(), known.muxers.end(), muxer) != known.muxers.end())
            return known.allowance;
    }
    return {1000, 0.01};
}

FitBudget fitBudget(const FitRequest &request)
{
    const double audioBytes = request.audioBitRate / 8 * request.seconds;
    FitBudget budget;
    if (!request.video) {
        // Audio encoders keep to their bit rate, so the audio goes once at its own, and only
        // the container comes on top of it.
        const double expected =
            (audioBytes + request.container.bytesPerSecond * request.seconds) / (1 - request.container.share);
        if (expected > request.targetBytes)
            budget.unfit = Unfit{audioBytes, std::nullopt, expected};
        return budget;
    }
    const double room = streamBytes(request.targetBytes, request.seconds, request.container);
    const double leastStreams = audioBytes + LeastVideoBitRate / 8 * request.seconds;
    const double least = sizeFor(leastStreams, request.seconds, request.container);
    if (audioBytes > 0 && audioBytes >= room) {
        budget.unfit = Unfit{audioBytes, std::nullopt, least};
        return budget;
    }
    budget.videoBitRate = std::max(0.0, (room - audioBytes) * 8 / request.seconds);
    if (budget.videoBitRate < LeastVideoBitRate)
        budget.unfit = Unfit{audioBytes, budget.videoBitRate, least};
    return budget;
}

double loweredVideoBitRate(double videoBitRate, double reachedBytes, double videoBytes, double targetBytes)
{
    const double aim = targetBytes * (1 - FitMargin - RetryMargin);
    const double excess = reachedBytes - aim;
    if (videoBytes <= 0)
        return videoBitRate;
    return videoBitRate * std::max(0.0, (videoBytes - excess) / videoBytes);
}

} // namespace encoder
