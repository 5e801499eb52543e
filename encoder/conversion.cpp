#include "conversion.h"

#include "argumentcheck.h"
#include "core/platform/childprocess.h"
#include "console.h"
#include "conversionplan.h"
#include "decimaltext.h"
#include "core/protocol/exitstatus.h"
#include "verdict/expectation.h"
#include "ffmpeg/ffmpeglocator.h"
#include "ffmpeg/ffmpegrun.h"
#include "fit/fitconversion.h"
#include "verdict/verdict.h"
#include "probe/mediainfo.h"
#include "verdict/outputcheck.h"
#include "core/platform/signalinterruption.h"
#include "core/protocol/durationtext.h"

#include "core/platform/outputclaim.h"

#include <QCoreApplication>

#include <algorithm>
#include <filesystem>
#include <optional>

namespace encoder {

namespace {

constexpr int FfmpegMissingStatus = 127;

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

// One encoder converts one output: the claim on its part file is the process's own.
platform::OutputClaim &partClaim()
{
    static platform::OutputClaim claim;
    return claim;
}

// The part file is ours from before FFmpeg opens it until the process ends, so no other run
// writes it meanwhile, and none takes a name that is ours.
std::optional<int> claimPart(const ConversionRequest &request)
{
    const std::string part = partPathFor(request.output);
    std::string error;
    switch (partClaim().claim(part, &error)) {
    case platform::OutputClaim::Outcome::Claimed:
        break;
    case platform::OutputClaim::Outcome::HeldElsewhere:
        printError("'" + request.output + "' is being converted by another run; it was not changed");
        return protocol::EncoderOutputTaken;
    case platform::OutputClaim::Outcome::Failed:
        printError("Cannot write '" + part + "': " + error);
        return 1;
    }
    std::error_code ignored;
    if (!request.replaceExisting && std::filesystem::exists(request.output, ignored)) {
        partClaim().discard();
        printError("'" + request.output + "' was written by another run meanwhile; it was not changed");
        return protocol::EncoderOutputTaken;
    }
    return std::nullopt;
}

int keep(const ConversionRequest &request)
{
    std::string error;
    if (!partClaim().moveInto(request.output, request.replaceExisting, &error)) {
        std::error_code ignored;
        const bool taken = !request.replaceExisting && std::filesystem::exists(request.output, ignored);
        return failure("Cannot write '" + request.output + "': " + error,
                       taken ? protocol::EncoderOutputTaken : 1);
    }
    return protocol::EncoderSucceeded;
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

// FFmpeg is given nothing it would read or write besides the input and the part file.
std::optional<std::string> refusal(const ConversionRequest &request, const std::vector<std::string> &container)
{
    const std::vector<std::string> arguments = ffmpegArguments(request, container);
    const auto input = std::find(arguments.begin(), arguments.end(), "-i");
    const auto from = std::size_t(std::distance(arguments.begin(), input)) + 2;
    return argumentsRefusal(arguments, from, from + request.parameters.size());
}

} // namespace

int failure(const std::string &message, int status)
{
    printError(message);
    // Only the file this conversion claimed goes: any other part file is another run's.
    partClaim().discard();
    return status;
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
        return failure("Cannot start FFmpeg: " + outcome.startError.toStdString(), FfmpegMissingStatus);
    case FfmpegRun::Ending::Crashed:
        return failure("FFmpeg ended abnormally" + untouched, 1);
    case FfmpegRun::Ending::Exited:
        if (outcome.exitCode != 0)
            return failure("FFmpeg failed with exit code " + std::to_string(outcome.exitCode) + untouched,
                           failureStatus(outcome.exitCode));
        break;
    }
    const auto kinds = muxerKinds(request, container);
    if (!shrunkInput(request, outcome.account.inputSeconds)
        && settledByAccount(outcome.account, outcome.reachedSeconds, outcome.progressEnded, request.parameters, kinds)) {
        if (const auto problem = writtenProblem(part))
            return failure("Conversion failed: " + *problem + untouched, 1);
        return keep(request);
    }

    // FFmpeg's account leaves doubt: the files themselves tell. An input we cannot read is
    // FFmpeg's to report, and it has not.
    std::optional<Expectation> expected;
    std::optional<double> shrunk;
    if (const MediaProbe input = probeMedia(request.input, ProbeDepth::Kinds); input.info) {
        expected = expectedOutput(*input.info, request.parameters, kinds.value_or(MuxerKinds{}));
        shrunk = shrunkInput(request, lastsNow(*input.info));
        if (shrunk && expected->seconds)
            expected->seconds = trimmedSeconds(*request.plannedSeconds, request.parameters);
    }
    const OutputCheck check = checkOutput(part, expected.value_or(Expectation{}));
    if (check.problem)
        return failure("Conversion failed: " + *check.problem + untouched, 1);
    if (const int kept = keep(request); kept != protocol::EncoderSucceeded)
        return kept;

    // What FFmpeg got through is kept: a user with a damaged file wants what can be saved of it.
    const double converted = std::max(outcome.reachedSeconds, check.seconds.value_or(0.0));
    if (expected && expected->seconds && clearlyShort(converted, *expected->seconds)) {
        const std::string why = shrunk ? "; the input is now " + fixedDecimal(*shrunk, 1) + " s; it was "
                + fixedDecimal(*request.plannedSeconds, 1) + " s when added"
                                       : std::string("; the input may be damaged");
        printError("Incomplete: converted " + timeText(converted) + " of " + timeText(*expected->seconds)
                            + why);
        return protocol::EncoderIncomplete;
    }
    return protocol::EncoderSucceeded;
}

namespace {
int runPlain(const ConversionRequest &request, const QString &ffmpeg, const std::vector<std::string> &container)
{
    std::optional<int> status;
    FfmpegRun run(ffmpeg, ffmpegArguments(request, container), [&](const FfmpegRun::Outcome &outcome) {
        status = conclude(request, container, outcome);
        QCoreApplication::exit(*status);
    });
    const platform::SignalInterruption interruption;
    QObject::connect(&interruption, &platform::Interruption::interrupted, [&run] { run.stop(); });
    run.start();
    if (status)
        return *status;
    QCoreApplication::exec();
    return status.value_or(1);
}
} // namespace

int runConversion(const ConversionRequest &request)
{
    const QString ffmpeg = locateFfmpeg();
    if (ffmpeg.isEmpty()) {
        printError("FFmpeg was not found: put ffmpeg next to wmaspi.dll or on the PATH");
        return FfmpegMissingStatus;
    }
    const auto container = containerSwitch(request);
    if (!container) {
        printError("No known container for '" + request.output + "': give it a known extension");
        return 1;
    }
    // Before anything is opened or written: a refused list converts nothing.
    if (const auto refused = refusal(request, *container)) {
        printError(*refused + "; nothing was converted");
        return 1;
    }
    if (const auto refused = claimPart(request))
        return *refused;
    const int status = request.fit ? runFitConversion(request, ffmpeg, *container) : runPlain(request, ffmpeg, *container);
    // A conversion refused before FFmpeg wrote anything leaves no part file behind either.
    partClaim().discard();
    return status;
}

} // namespace encoder
