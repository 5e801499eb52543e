#include "fit/fitconversion.h"

#include "console.h"
#include "conversionplan.h"
#include "decimaltext.h"
#include "ffmpeg/ffmpegrun.h"
#include "fit/fitbudget.h"
#include "fit/fitparameters.h"
#include "fit/fitplan.h"
#include "probe/mediainfo.h"
#include "partfile.h"
#include "probe/probereport.h"
#include "core/platform/signalinterruption.h"
#include "verdict/verdict.h"

#include "core/protocol/passlogfolder.h"
#include "core/platform/processfolders.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

namespace encoder {

namespace {

constexpr int MostRetries = 2;

// One conversion into a size, a pass or a try at a time. Every FFmpeg run stays until the end:
// the one that has just ended is still inside its own signal when the next one starts.
class FitRun
{
public:
    FitRun(const ConversionRequest &request, const QString &ffmpeg, const std::vector<std::string> &container,
           const FitPlan &plan, std::string passLog)
        : request_(request), ffmpeg_(ffmpeg), container_(container), plan_(plan), passLog_(std::move(passLog)),
          videoBitRate_(plan.videoBitRate)
    {
    }

    void start()
    {
        if (plan_.video)
            startFirstPass();
        else
            startOnlyPass();
    }

    void stop()
    {
        stopped_ = true;
        if (!runs_.empty())
            runs_.back()->stop();
    }

    std::optional<int> status() const { return status_; }

private:
    // The parameters of every pass, at the bit rate of the current try.
    ConversionRequest passRequest(const std::vector<std::string> &passSwitches) const
    {
        ConversionRequest pass = request_;
        pass.parameters = fitParameters(request_.parameters,
                                        plan_.video ? std::optional(videoBitRate_) : std::nullopt, plan_.audioBitRate);
        pass.parameters.insert(pass.parameters.end(), passSwitches.begin(), passSwitches.end());
        return pass;
    }

    void run(const std::vector<std::string> &arguments, ProgressShare share,
             std::function<void(const FfmpegRun::Outcome &)> ended)
    {
        runs_.push_back(std::make_unique<FfmpegRun>(ffmpeg_, arguments, std::move(ended), share));
        runs_.back()->start();
    }

    // Each pass climbs over half of the bar, and the first one never shows past its half. The
    // first one's video goes into the part file, which the second one writes over.
    void startFirstPass()
    {
        const ConversionRequest pass = passRequest(firstPassSwitches(passLog_));
        run(ffmpegArguments(pass, container_), {0, 0.5, plan_.seconds / 2},
            [this, pass](const auto &outcome) { firstPassEnded(pass, outcome); });
    }

    // A try after the first starts the second half over.
    void startSecondPass()
    {
        const ConversionRequest pass = passRequest(secondPassSwitches(passLog_));
        run(ffmpegArguments(pass, container_), {plan_.seconds / 2, 0.5, plan_.seconds},
            [this, pass](const auto &outcome) { outputEnded(pass, outcome); });
    }

    void startOnlyPass()
    {
        const ConversionRequest pass = passRequest({});
        run(ffmpegArguments(pass, container_), {0, 1, plan_.seconds},
            [this, pass](const auto &outcome) { outputEnded(pass, outcome); });
    }

    static bool clean(const FfmpegRun::Outcome &outcome)
    {
        return outcome.ending == FfmpegRun::Ending::Exited && outcome.exitCode == 0;
    }

    FfmpegRun::Outcome unlessStopped(FfmpegRun::Outcome outcome) const
    {
        if (stopped_)
            outcome.ending = FfmpegRun::Ending::Stopped;
        return outcome;
    }

    void firstPassEnded(const ConversionRequest &pass, const FfmpegRun::Outcome &outcome)
    {
        if (stopped_ || !clean(outcome))
            return finish(conclude(pass, container_, unlessStopped(outcome)));
        startSecondPass();
    }

    void outputEnded(const ConversionRequest &pass, const FfmpegRun::Outcome &outcome)
    {
        const std::string part = partPathFor(request_.output);
        std::error_code error;
        const auto reached = std::filesystem::file_size(part, error);
        // A missing output is for the verdict to tell.
        if (stopped_ || !clean(outcome) || error || double(reached) <= plan_.size.bytes)
            return finish(conclude(pass, container_, unlessStopped(outcome)));

        const double videoBytes = outcome.account.videoKilobytes > 0 ? outcome.account.videoKilobytes * 1024
                                                                      : videoBitRate_ / 8 * plan_.seconds;
        const double lowered = std::max(
            LeastVideoBitRate, loweredVideoBitRate(videoBitRate_, double(reached), videoBytes, plan_.size.bytes));
        if (!plan_.video || retries_ == MostRetries || lowered >= videoBitRate_) {
            const std::string untouched = "; '" + request_.output + "' was not changed";
            return finish(failure(unfitSentence(double(reached), plan_.size) + untouched, 1));
        }
        printError(overText(double(reached), plan_.size) + " is over " + givenText(plan_.size)
                            + ": converting again at " + fixedDecimal(lowered / 1000, 0) + " kbit/s");
        videoBitRate_ = lowered;
        ++retries_;
        startSecondPass();
    }

    void finish(int status)
    {
        status_ = status;
        QCoreApplication::exit(status);
    }

    const ConversionRequest &request_;
    const QString ffmpeg_;
    const std::vector<std::string> &container_;
    const FitPlan plan_;
    const std::string passLog_;
    double videoBitRate_;
    int retries_ = 0;
    bool stopped_ = false;
    std::optional<int> status_;
    std::vector<std::unique_ptr<FfmpegRun>> runs_;
};

} // namespace

int runFitConversion(const ConversionRequest &request, const QString &ffmpeg,
                     const std::vector<std::string> &container)
{
    // What cannot fit fails before FFmpeg starts, and before any part file is there to remove.
    const MediaProbe probe = probeMedia(request.input);
    if (!probe.info) {
        printError(probeFailureLine(request.input, probe.error));
        return 1;
    }
    const auto planned = planFit(*request.fit, *probe.info, request.parameters,
                                 muxerKinds(request, container).value_or(MuxerKinds{}),
                                 muxerName(request, container).value_or(""));
    if (const auto *why = std::get_if<std::string>(&planned)) {
        printError(*why);
        return 1;
    }

    // Interrupted from here on, we end FFmpeg and remove what we made: the signals must be
    // caught before the pass log has a folder.
    const platform::SignalInterruption interruption;
    // A folder of its own for every conversion, so that two at once never share a pass log.
    // Named after this encoder: one killed outright cannot remove it, whoever killed it does.
    const QString prefix = QString::fromLatin1(protocol::PassLogFolderPrefix);
    platform::removeOrphanedProcessFolders(prefix);
    const QTemporaryDir passLogFolder(platform::processFolderTemplate(prefix));
    if (!passLogFolder.isValid()) {
        printError("Cannot make a folder for the pass log: " + passLogFolder.errorString().toStdString());
        return 1;
    }

    FitRun run(request, ffmpeg, container, std::get<FitPlan>(planned),
               passLogFolder.filePath(QStringLiteral("pass")).toStdString());
    QObject::connect(&interruption, &platform::Interruption::interrupted, [&run] { run.stop(); });
    run.start();
    if (!run.status())
        QCoreApplication::exec();
    return run.status().value_or(1);
}

} // namespace encoder
