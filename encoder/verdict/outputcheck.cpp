#include "verdict/outputcheck.h"

#include "probe/mediainfo.h"

#include <algorithm>
#include <filesystem>

namespace encoder {

namespace {

bool holds(const MediaInfo &info, const std::string &kind)
{
    return std::any_of(info.streams.begin(), info.streams.end(),
                       [&kind](const StreamInfo &stream) { return stream.kind == kind; });
}

std::optional<double> longest(const MediaInfo &info)
{
    std::optional<double> seconds = info.durationSeconds;
    for (const StreamInfo &stream : info.streams) {
        if (stream.durationSeconds && (!seconds || *stream.durationSeconds > *seconds))
            seconds = stream.durationSeconds;
    }
    return seconds;
}

} // namespace

std::optional<std::string> writtenProblem(const std::string &path)
{
    // The part file is made before FFmpeg starts, to claim its name: empty, it holds nothing of FFmpeg's.
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0)
        return "FFmpeg wrote no output";
    return std::nullopt;
}

OutputCheck checkOutput(const std::string &path, const Expectation &expected)
{
    if (auto problem = writtenProblem(path))
        return {std::move(problem), std::nullopt};

    const MediaProbe probe = probeMedia(path, ProbeDepth::Kinds);
    if (!probe.info)
        return {"The output cannot be read back: " + probe.error, std::nullopt};
    const MediaInfo &output = *probe.info;
    if (output.streams.empty())
        return {std::string("The output holds no stream"), std::nullopt};
    if (expected.video && !holds(output, "Video"))
        return {std::string("The output holds no video although the input has some"), std::nullopt};
    if (expected.audio && !holds(output, "Audio"))
        return {std::string("The output holds no audio although the input has some"), std::nullopt};
    return {std::nullopt, longest(output)};
}

} // namespace encoder
