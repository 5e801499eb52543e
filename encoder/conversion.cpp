#include "conversion.h"

#include "childprocess.h"
#include "console.h"
#include "conversionplan.h"
#include "exitstatus.h"
#include "expectation.h"
#include "ffmpeglocator.h"
#include "ffmpegrun.h"
#include "libavformat.h"
#include "mediainfo.h"
#include "outputcheck.h"
#include "signalinterruption.h"
#include "durationtext.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <filesystem>
#include <optional>

namespace {

constexpr int FfmpegMissingStatus = 127;

QStringList toQStringList(const std::vector<std::string> &texts)
{
    QStringList list;
    for (const auto &text : texts)
        list.append(QString::fromStdString(text));
    return list;
}

// The window reads 3 as a kept but incomplete output: a failure must never say that.
int failureStatus(int ffmpegExitCode)
{
    return ffmpegExitCode == protocol::EncoderIncomplete || ffmpegExitCode == protocol::EncoderSucceeded
        ? 1
        : ffmpegExitCode;
}

int failure(const std::string &partPath, const std::string &message, int status)
{
    console::printError(message);
    std::error_code ignored;
    std::filesystem::remove(partPath, ignored);
    return status;
}

MuxerKinds muxerKinds(const ConversionRequest &request, const std::vector<std::string> &container)
{
    // Ours when we add -f, else the profile's own.
    std::string name;
    if (container.size() == 2)
        name = container[1];
    else if (const auto given = std::find(request.parameters.rbegin(), request.parameters.rend(), "-f");
             given != request.parameters.rend() && given != request.parameters.rbegin())
        name = *std::prev(given);
    const Libavformat *libav = libavformat();
    const AVOutputFormat *muxer = libav && !name.empty() ? libav->guessFormat(name.c_str(), nullptr, nullptr) : nullptr;
    if (!muxer)
        return {};
    // A muxer whose video is cover art only (mp3) gets none from a film: FFmpeg's own rule.
    const bool coverArtOnly = muxer->video_codec != AV_CODEC_ID_NONE
        && libav->queryCodec(muxer, muxer->video_codec, 0) == MKTAG('A', 'P', 'I', 'C');
    return {muxer->video_codec != AV_CODEC_ID_NONE && !coverArtOnly, muxer->audio_codec != AV_CODEC_ID_NONE};
}

std::string timeText(double seconds)
{
    return protocol::durationText(seconds);
}

int conclude(const ConversionRequest &request, const std::optional<Expectation> &expected,
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
    const OutputCheck check = checkOutput(part, expected.value_or(Expectation{}));
    if (check.problem)
        return failure(part, "Conversion failed: " + *check.problem + untouched, 1);

    std::error_code error;
    std::filesystem::rename(part, request.output, error);
    if (error)
        return failure(part, "Cannot write '" + request.output + "': " + error.message(), 1);

    // What FFmpeg got through is kept: a user with a damaged file wants what can be saved of it.
    const double converted = std::max(outcome.reachedSeconds, check.seconds.value_or(0.0));
    if (expected && expected->seconds && clearlyShort(converted, *expected->seconds)) {
        console::printError("Incomplete: converted " + timeText(converted) + " of " + timeText(*expected->seconds)
                            + "; the input may be damaged");
        return protocol::EncoderIncomplete;
    }
    return protocol::EncoderSucceeded;
}

} // namespace

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

    std::optional<int> status;
    std::optional<Expectation> expected;
    FfmpegRun run(ffmpeg, toQStringList(ffmpegArguments(request, *container)),
                  [&](const FfmpegRun::Outcome &outcome) {
                      status = conclude(request, expected, outcome);
                      QCoreApplication::exit(*status);
                  });
    const platform::SignalInterruption interruption;
    QObject::connect(&interruption, &platform::Interruption::interrupted, [&run] { run.stop(); });
    run.start();
    if (status)
        return *status;
    // FFmpeg takes longer to start than we take to read the input, so the reading is free
    // now. An input we cannot read is FFmpeg's to report; it fails on it too.
    if (const MediaProbe input = probeMedia(request.input, ProbeDepth::Kinds); input.info)
        expected = expectedOutput(*input.info, request.parameters, muxerKinds(request, *container));
    QCoreApplication::exec();
    return status.value_or(1);
}
