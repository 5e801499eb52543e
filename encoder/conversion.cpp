#include "conversion.h"

#include "argumentcheck.h"
#include "childprocess.h"
#include "console.h"
#include "conversionplan.h"
#include "decimaltext.h"
#include "exitstatus.h"
#include "expectation.h"
#include "ffmpeglocator.h"
#include "ffmpegrun.h"
#include "fitconversion.h"
#include "leanverdict.h"
#include "mediainfo.h"
#include "outputcheck.h"
#include "signalinterruption.h"
#include "durationtext.h"

#include <QCoreApplication>

#include <algorithm>
#include <filesystem>
#include <optional>

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

int keep(const ConversionRequest &request, const std::string &part)
{
    std::error_code error;
    std::filesystem::rename(part, request.output, error);
    if (error)
        return failure(part, "Cannot write '" + request.output + "': " + error.message(), 1);
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

int failure(const std::string &partPath, const std::string &message, int status)
{
    console::printError(message);
    std::error_code ignored;
    std::filesystem::remove(partPath, ignored);
    return status;
}

int conclude(const ConversionRequest &request, const std::vector<std::string> &container,
             const FfmpegRun::Outcome &outcome)
{
    const std::string part = partPathFor(request.output);
    const std::string untouched = "; '" + request.output + "' was not changed";
    switch (outcome.ending) {
    case FfmpegRun::Ending::Stopped:
        return failure(part, "Conversion stopped on request" + untouched, 1);
    case FfmpegRun::Ending::FailedToStart:
        return failure(part, "Cannot start FFmpeg: " + outcome.startError.toStdString(), FfmpegMissingStatus);
    case FfmpegRun::Ending::Crashed:
        return failure(part, "FFmpeg ended abnormally" + untouched, 1);
    case FfmpegRun::Ending::Exited:
        if (outcome.exitCode != 0)
            return failure(part, "FFmpeg failed with exit code " + std::to_string(outcome.exitCode) + untouched,
                           failureStatus(outcome.exitCode));
        break;
    }
    const auto kinds = muxerKinds(request, container);
    if (!shrunkInput(request, outcome.account.inputSeconds)
        && settledByAccount(outcome.account, outcome.reachedSeconds, outcome.progressEnded, request.parameters, kinds)) {
        if (const auto problem = writtenProblem(part))
            return failure(part, "Conversion failed: " + *problem + untouched, 1);
        return keep(request, part);
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
        return failure(part, "Conversion failed: " + *check.problem + untouched, 1);
    if (const int kept = keep(request, part); kept != protocol::EncoderSucceeded)
        return kept;

    // What FFmpeg got through is kept: a user with a damaged file wants what can be saved of it.
    const double converted = std::max(outcome.reachedSeconds, check.seconds.value_or(0.0));
    if (expected && expected->seconds && clearlyShort(converted, *expected->seconds)) {
        const std::string why = shrunk ? "; the input is now " + fixedDecimal(*shrunk, 1) + " s; it was "
                + fixedDecimal(*request.plannedSeconds, 1) + " s when added"
                                       : std::string("; the input may be damaged");
        console::printError("Incomplete: converted " + timeText(converted) + " of " + timeText(*expected->seconds)
                            + why);
        return protocol::EncoderIncomplete;
    }
    return protocol::EncoderSucceeded;
}

int runConversion(const ConversionRequest &request)
{
    const QString ffmpeg = locateFfmpeg();
    if (ffmpeg.isEmpty()) {
        console::printError("FFmpeg was not found: put ffmpeg next to wmaspi.dll or on the PATH");
        return FfmpegMissingStatus;
    }
    const auto container = containerSwitch(request);
    if (!container) {
        console::printError("No known container for '" + request.output + "': give it a known extension");
        return 1;
    }
    // Before anything is opened or written: a refused list converts nothing.
    if (const auto refused = refusal(request, *container)) {
        console::printError(*refused + "; nothing was converted");
        return 1;
    }
    if (request.fit)
        return runFitConversion(request, ffmpeg, *container);

    std::optional<int> status;
    FfmpegRun run(ffmpeg, ffmpegArguments(request, *container), [&](const FfmpegRun::Outcome &outcome) {
        status = conclude(request, *container, outcome);
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
