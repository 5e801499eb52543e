#include "conversion.h"

#include "childprocess.h"
#include "console.h"
#include "conversionplan.h"
#include "ffmpeglocator.h"
#include "ffmpegrun.h"
#include "mediainfo.h"
#include "outputcheck.h"
#include "probereport.h"

#include <QCoreApplication>
#include <QStringList>

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

int failure(const std::string &partPath, const std::string &message, int status)
{
    console::printError(message);
    std::error_code ignored;
    std::filesystem::remove(partPath, ignored);
    return status;
}

int conclude(const ConversionRequest &request, std::optional<double> expectedSeconds,
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
                           outcome.exitCode);
        break;
    }
    if (const auto problem = outputProblem(part, expectedSeconds))
        return failure(part, "Conversion failed: " + *problem + untouched, 1);

    std::error_code error;
    std::filesystem::rename(part, request.output, error);
    if (error)
        return failure(part, "Cannot write '" + request.output + "': " + error.message(), 1);
    return 0;
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
    const MediaProbe input = probeMedia(request.input);
    if (!input.info) {
        console::printError(probeFailureLine(request.input, input.error));
        return 1;
    }
    const auto expectedSeconds = expectedOutputSeconds(input.info->durationSeconds, request.parameters);

    std::optional<int> status;
    FfmpegRun run(ffmpeg, toQStringList(ffmpegArguments(request, *container)),
                  [&](const FfmpegRun::Outcome &outcome) {
                      status = conclude(request, expectedSeconds, outcome);
                      QCoreApplication::exit(*status);
                  });
    platform::onTerminationRequest([&run] { run.stop(); });
    run.start();
    if (!status)
        QCoreApplication::exec();
    return status.value_or(1);
}
