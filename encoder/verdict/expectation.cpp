#include "verdict/expectation.h"

#include "conversionplan.h"

#include <algorithm>

namespace encoder {

namespace {

bool has(const std::vector<std::string> &parameters, const char *name)
{
    return std::find(parameters.begin(), parameters.end(), name) != parameters.end();
}

// FFmpeg keeps one stream of each kind, not always the longest: the shortest candidate never
// accuses a good conversion. Headers that understate do no harm, since longer never fails.
std::optional<double> kindSeconds(const MediaInfo &input, const std::string &kind)
{
    std::optional<double> shortest;
    for (const StreamInfo &stream : input.streams) {
        if (stream.kind != kind)
            continue;
        const auto seconds = stream.durationSeconds ? stream.durationSeconds : input.durationSeconds;
        if (seconds && (!shortest || *seconds < *shortest))
            shortest = seconds;
    }
    return shortest;
}

bool hasKind(const MediaInfo &input, const std::string &kind)
{
    return std::any_of(input.streams.begin(), input.streams.end(),
                       [&kind](const StreamInfo &stream) { return stream.kind == kind; });
}

} // namespace

Expectation expectedOutput(const MediaInfo &input, const std::vector<std::string> &parameters, MuxerKinds muxer)
{
    Expectation expected;
    // A -map picks streams by rules of its own; the kinds are then not ours to predict.
    const bool mapped = has(parameters, "-map");
    const bool keepsVideo = muxer.video && !has(parameters, "-vn") && hasKind(input, "Video");
    const bool keepsAudio = muxer.audio && !has(parameters, "-an") && hasKind(input, "Audio");
    expected.video = keepsVideo && !mapped;
    expected.audio = keepsAudio && !mapped;

    std::vector<double> kept;
    for (const auto &[keeps, kind] : {std::pair{keepsVideo, "Video"}, std::pair{keepsAudio, "Audio"}}) {
        if (!keeps)
            continue;
        if (const auto seconds = kindSeconds(input, kind))
            kept.push_back(*seconds);
    }
    if (kept.empty() || mapped)
        return expected;
    const double seconds = has(parameters, "-shortest") ? *std::min_element(kept.begin(), kept.end())
                                                        : *std::max_element(kept.begin(), kept.end());
    expected.seconds = trimmedSeconds(seconds, parameters);
    return expected;
}

bool clearlyShort(double actualSeconds, double expectedSeconds)
{
    return expectedSeconds - actualSeconds > std::max(1.0, 0.05 * expectedSeconds);
}

} // namespace encoder
