#include "verdict/outputcheck.h"

#include "probe/mediainfo.h"

#include <algorithm>
#include <filesystem>
#include <tuple>

namespace encoder {

namespace {

bool holds(const MediaInfo &info, const std::string &kind)
{
    return std::any_of(info.streams.begin(), info.streams.end(),
                       [&kind](const StreamInfo &stream) { return stream.kind == kind; });
}

int count(const MediaInfo &info, const std::string &kind)
{
    return int(std::count_if(info.streams.begin(), info.streams.end(),
                             [&kind](const StreamInfo &stream) { return stream.kind == kind; }));
}

// A planned track missing from the output, in a sentence.
std::optional<std::string> missingTrack(const MediaInfo &output, const TrackCounts &planned)
{
    for (const auto &[kind, wanted, word] :
         {std::tuple{"Video", planned.video, "video"}, std::tuple{"Audio", planned.audio, "audio"},
          std::tuple{"Subtitle", planned.subtitle, "subtitle"}}) {
        const int held = count(output, kind);
        if (held < wanted)
            return "The output holds " + std::to_string(held) + " of the " + std::to_string(wanted) + " " + word +
                   (wanted == 1 ? " track" : " tracks") + " planned";
    }
    return std::nullopt;
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
    if (expected.tracks) {
        if (auto missing = missingTrack(output, *expected.tracks))
            return {std::move(missing), std::nullopt};
    }
    return {std::nullopt, longest(output)};
}

} // namespace encoder
