#include "verdict/verdict.h"

#include "console.h"
#include "conversionplan.h"
#include "core/protocol/durationtext.h"
#include "core/protocol/exitstatus.h"
#include "decimaltext.h"
#include "ffmpeg/ffmpeglocator.h"
#include "partfile.h"
#include "probe/mediainfo.h"
#include "verdict/outputcheck.h"

#include <algorithm>

namespace encoder {

namespace {

// The window reads 3 as a kept but incomplete output: a failure must never say that.
int failureStatus(int ffmpegExitCode)
{
    return ffmpegExitCode == protocol::EncoderIncomplete || ffmpegExitCode == protocol::EncoderSucceeded
               ? 1
               : ffmpegExitCode;
}

std::string timeText(double seconds)
{
    return protocol::durationText(seconds);
}

// The input's length now, when it is clearly short of the length the run planned with: the file
// was cut while it waited or while FFmpeg read it.
std::optional<double> shrunkInput(const ConversionRequest &request, std::optional<double> nowSeconds)
{
    if (request.plannedSeconds && nowSeconds && clearlyShort(*nowSeconds, *request.plannedSeconds))
        return nowSeconds;
    return std::nullopt;
}

// What the input lasts now: its container's word or, where a quick look leaves that unsaid, its
// longest stream's.
std::optional<double> lastsNow(const MediaInfo &input)
{
    std::optional<double> seconds = input.durationSeconds;
    for (const StreamInfo &stream : input.streams) {
        if (!input.durationSeconds && stream.durationSeconds && (!seconds || *stream.durationSeconds > *seconds))
            seconds = stream.durationSeconds;
    }
    return seconds;
}

} // namespace

std::optional<Expectation> settledByAccount(const FfmpegAccount &account, double reachedSeconds, bool progressEnded,
                                            const std::vector<std::string> &parameters,
                                            const std::optional<MuxerKinds> &muxer)
{
    if (!progressEnded || !account.inputSeen || !account.sizesSeen || !account.inputSeconds || !muxer)
        return std::nullopt;
    // -map picks streams by rules of its own, which only the output itself can tell.
    if (std::find(parameters.begin(), parameters.end(), "-map") != parameters.end())
        return std::nullopt;

    MediaInfo input;
    input.durationSeconds = account.inputSeconds;
    for (const std::string &kind : account.inputKinds) {
        StreamInfo stream;
        stream.kind = kind;
        input.streams.push_back(stream);
    }
    const Expectation expected = expectedOutput(input, parameters, *muxer);
    if (!expected.video && !expected.audio)
        return std::nullopt;
    // The sizes are rounded to whole kilobytes: a stream under half of one reads as none.
    if ((expected.video && account.videoKilobytes <= 0) || (expected.audio && account.audioKilobytes <= 0))
        return std::nullopt;
    // The container's length is at least each stream's, so a run not short of it is not short
    // of the kept streams either; one short of it may still be complete, and is looked at.
    if (!expected.seconds || clearlyShort(reachedSeconds, *expected.seconds))
        return std::nullopt;
    return expected;
}

int conclude(const ConversionRequest &request, const std::vector<std::string> &container,
             const FfmpegRun::Outcome &outcome)
{
    const std::string part = partPathFor(request.output);
    const std::string untouched = "; '" + request.output + "' was not changed";
    switch (outcome.ending) {
    case FfmpegRun::Ending::Stopped:
        return failure("Conversion stopped on request" + untouched, 1);
    case FfmpegRun::Ending::FailedToStart:
        return failure("Cannot start FFmpeg: " + outcome.startError, FfmpegMissingStatus);
    case FfmpegRun::Ending::Crashed:
        return failure("FFmpeg ended abnormally" + untouched, 1);
    case FfmpegRun::Ending::Exited:
        if (outcome.exitCode != 0)
            return failure("FFmpeg failed with exit code " + std::to_string(outcome.exitCode) + untouched,
                           failureStatus(outcome.exitCode));
        break;
    }
    const auto kinds = muxerKinds(request, container);
    // FFmpeg's account sums each kind's streams: more than one of a kind, or a subtitle, is counted in the file.
    const bool countsOwnTracks =
        request.plannedTracks &&
        (request.plannedTracks->audio > 1 || request.plannedTracks->video > 1 || request.plannedTracks->subtitle > 0);
    if (!countsOwnTracks && !shrunkInput(request, outcome.account.inputSeconds) &&
        settledByAccount(outcome.account, outcome.reachedSeconds, outcome.progressEnded, request.parameters, kinds)) {
        if (const auto problem = writtenProblem(part))
            return failure("Conversion failed: " + *problem + untouched, 1);
        return keepPart(request);
    }

    // FFmpeg's account leaves doubt: the files themselves tell. An input we cannot read is
    // FFmpeg's to report, and it has not.
    std::optional<Expectation> expected;
    std::optional<double> shrunk;
    if (const MediaProbe input = probeMedia(request.input, ProbeDepth::Kinds); input.info) {
        expected = expectedOutput(*input.info, request.parameters, kinds.value_or(MuxerKinds{}));
        if (request.plannedTracks) {
            // Cover art is no film: the plan, not the kinds, says whether video comes out.
            expected->video = expected->video && request.plannedTracks->video > 0;
            expected->tracks = request.plannedTracks;
        }
        shrunk = shrunkInput(request, lastsNow(*input.info));
        if (shrunk && expected->seconds)
            expected->seconds = trimmedSeconds(*request.plannedSeconds, request.parameters);
    }
    const OutputCheck check = checkOutput(part, expected.value_or(Expectation{}));
    if (check.problem)
        return failure("Conversion failed: " + *check.problem + untouched, 1);
    if (const int kept = keepPart(request); kept != protocol::EncoderSucceeded)
        return kept;

    // What FFmpeg got through is kept: a user with a damaged file wants what can be saved of it.
    const double converted = std::max(outcome.reachedSeconds, check.seconds.value_or(0.0));
    if (expected && expected->seconds && clearlyShort(converted, *expected->seconds)) {
        const std::string why = shrunk ? "; the input is now " + fixedDecimal(*shrunk, 1) + " s; it was " +
                                             fixedDecimal(*request.plannedSeconds, 1) + " s when added"
                                       : std::string("; the input may be damaged");
        printError("Incomplete: converted " + timeText(converted) + " of " + timeText(*expected->seconds) + why);
        return protocol::EncoderIncomplete;
    }
    return protocol::EncoderSucceeded;
}

} // namespace encoder
