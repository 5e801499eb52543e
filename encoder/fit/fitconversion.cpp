#include "fit/fitconversion.h"

#include "console.h"
#include "conversionplan.h"
#include "core/platform/processfolders.h"
#include "core/platform/signalinterruption.h"
#include "core/protocol/passlogfolder.h"
#include "decimaltext.h"
#include "ffmpeg/ffmpegrun.h"
#include "fit/fitbudget.h"
#include "fit/fitparameters.h"
#include "fit/fitplan.h"
#include "partfile.h"
#include "probe/mediainfo.h"
#include "probe/probereport.h"
#include "rate/ratecontrol.h"
#include "rate/videoceiling.h"
#include "streams/sourcefacts.h"
#include "verdict/verdict.h"

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

// The try at a quality before the passes: the video budget is its most.
struct QualityTry {
    CappedRate rate;
    double ceiling = 0;
};

// One conversion into a size, a pass or a try at a time. Every FFmpeg run stays until the end:
// the one that has just ended is still inside its own signal when the next one starts.
class FitRun {
public:
    FitRun(const ConversionRequest &request, const QString &ffmpeg, const std::vector<std::string> &container,
           const FitPlan &plan, std::string passLog, std::optional<QualityTry> quality)
        : m_request(request)
        , m_ffmpeg(ffmpeg)
        , m_container(container)
        , m_plan(plan)
        , m_passLog(std::move(passLog))
        , m_quality(std::move(quality))
        , m_videoBitRate(plan.videoBitRate)
        , m_passesFrom(m_quality ? plan.seconds / 3 : 0)
    {}

    void start()
    {
        if (m_quality)
            startQualityTry();
        else if (m_plan.video)
            startFirstPass();
        else
            startOnlyPass();
    }

    void stop()
    {
        m_stopped = true;
        if (!m_runs.empty())
            m_runs.back()->stop();
    }

    std::optional<int> status() const { return m_status; }

private:
    // The parameters of every pass, at the bit rate of the current try.
    ConversionRequest passRequest(const std::vector<std::string> &passSwitches) const
    {
        ConversionRequest pass = m_request;
        pass.parameters = fitParameters(
            m_request.parameters, m_plan.video ? std::optional(m_videoBitRate) : std::nullopt, m_plan.audioBitRate);
        pass.parameters.insert(pass.parameters.end(), passSwitches.begin(), passSwitches.end());
        return pass;
    }

    void run(const std::vector<std::string> &arguments, ProgressShare share,
             std::function<void(const FfmpegRun::Outcome &)> ended)
    {
        m_runs.push_back(std::make_unique<FfmpegRun>(m_ffmpeg, arguments, std::move(ended), share));
        m_runs.back()->start();
    }

    // The try at a quality climbs over the first third of the bar; the passes, when it comes out
    // over, share what is left.
    void startQualityTry()
    {
        printError(cappedRateLine(m_quality->rate, m_quality->ceiling));
        ConversionRequest pass = m_request;
        pass.parameters = m_quality->rate.parameters;
        run(ffmpegArguments(pass, m_container), {0, 1.0 / 3, m_plan.seconds / 3},
            [this, pass](const auto &outcome) { qualityTryEnded(pass, outcome); });
    }

    // Each pass climbs over half of the rest of the bar, and the first one never shows past its
    // half. The first one's video goes into the part file, which the second one writes over.
    void startFirstPass()
    {
        const ConversionRequest pass = passRequest(firstPassSwitches(m_passLog));
        const double half = passShare() * m_plan.seconds;
        run(ffmpegArguments(pass, m_container), {m_passesFrom, passShare(), m_passesFrom + half},
            [this, pass](const auto &outcome) { firstPassEnded(pass, outcome); });
    }

    // A try after the first starts the second half over.
    void startSecondPass()
    {
        const ConversionRequest pass = passRequest(secondPassSwitches(m_passLog));
        const double half = passShare() * m_plan.seconds;
        run(ffmpegArguments(pass, m_container), {m_passesFrom + half, passShare(), m_plan.seconds},
            [this, pass](const auto &outcome) { outputEnded(pass, outcome); });
    }

    double passShare() const { return (1 - m_passesFrom / m_plan.seconds) / 2; }

    void startOnlyPass()
    {
        const ConversionRequest pass = passRequest({});
        run(ffmpegArguments(pass, m_container), {0, 1, m_plan.seconds},
            [this, pass](const auto &outcome) { outputEnded(pass, outcome); });
    }

    static bool clean(const FfmpegRun::Outcome &outcome)
    {
        return outcome.ending == FfmpegRun::Ending::Exited && outcome.exitCode == 0;
    }

    FfmpegRun::Outcome unlessStopped(FfmpegRun::Outcome outcome) const
    {
        if (m_stopped)
            outcome.ending = FfmpegRun::Ending::Stopped;
        return outcome;
    }

    static std::optional<double> partBytes(const std::string &output)
    {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(partPathFor(output), error);
        return error ? std::nullopt : std::optional(double(bytes));
    }

    void qualityTryEnded(const ConversionRequest &pass, const FfmpegRun::Outcome &outcome)
    {
        const auto reached = partBytes(m_request.output);
        if (m_stopped || !clean(outcome) || !reached || *reached <= m_plan.size.bytes) {
            // The passes it spared are not run: the bar ends here.
            if (clean(outcome) && !m_stopped)
                printLine(ProgressStatus({m_plan.seconds, 0, std::nullopt}).statusLine());
            return finish(conclude(pass, m_container, unlessStopped(outcome)));
        }
        printError(overText(*reached, m_plan.size) + " is over " + givenText(m_plan.size) +
                   ": converting again in two passes at " + fixedDecimal(m_videoBitRate / 1000, 0) + " kbit/s");
        startFirstPass();
    }

    void firstPassEnded(const ConversionRequest &pass, const FfmpegRun::Outcome &outcome)
    {
        if (m_stopped || !clean(outcome))
            return finish(conclude(pass, m_container, unlessStopped(outcome)));
        startSecondPass();
    }

    void outputEnded(const ConversionRequest &pass, const FfmpegRun::Outcome &outcome)
    {
        const std::string part = partPathFor(m_request.output);
        std::error_code error;
        const auto reached = std::filesystem::file_size(part, error);
        // A missing output is for the verdict to tell.
        if (m_stopped || !clean(outcome) || error || double(reached) <= m_plan.size.bytes)
            return finish(conclude(pass, m_container, unlessStopped(outcome)));

        const double videoBytes = outcome.account.videoKilobytes > 0 ? outcome.account.videoKilobytes * 1024
                                                                     : m_videoBitRate / 8 * m_plan.seconds;
        const double lowered = std::max(
            LeastVideoBitRate, loweredVideoBitRate(m_videoBitRate, double(reached), videoBytes, m_plan.size.bytes));
        if (!m_plan.video || m_retries == MostRetries || lowered >= m_videoBitRate) {
            const std::string untouched = "; '" + m_request.output + "' was not changed";
            return finish(failure(unfitSentence(double(reached), m_plan.size) + untouched, 1));
        }
        printError(overText(double(reached), m_plan.size) + " is over " + givenText(m_plan.size) +
                   ": converting again at " + fixedDecimal(lowered / 1000, 0) + " kbit/s");
        m_videoBitRate = lowered;
        ++m_retries;
        startSecondPass();
    }

    void finish(int status)
    {
        m_status = status;
        QCoreApplication::exit(status);
    }

    const ConversionRequest &m_request;
    const QString m_ffmpeg;
    const std::vector<std::string> &m_container;
    const FitPlan m_plan;
    const std::string m_passLog;
    const std::optional<QualityTry> m_quality;
    double m_videoBitRate;
    const double m_passesFrom; // where the passes start on the bar
    int m_retries = 0;
    bool m_stopped = false;
    std::optional<int> m_status;
    std::vector<std::unique_ptr<FfmpegRun>> m_runs;
};

} // namespace

int runFitConversion(const ConversionRequest &request, const QString &ffmpeg, const std::vector<std::string> &container)
{
    // What cannot fit fails before FFmpeg starts, and before any part file is there to remove.
    const MediaProbe probe = probeMedia(request.input);
    if (!probe.info) {
        printError(probeFailureLine(request.input, probe.error));
        return 1;
    }
    const auto planned =
        planFit(*request.fit, *probe.info, request.parameters, muxerKinds(request, container).value_or(MuxerKinds{}),
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

    FitPlan plan = std::get<FitPlan>(planned);
    std::optional<QualityTry> quality;
    if (plan.video) {
        // The quality's most is the size's video budget, or the ceiling or the source's own rate
        // when lower; the passes, which aim at their rate, keep only the profile's ceiling. One
        // pass under a most lands up to a couple of percent over it, and not the same every time:
        // it is given the margin once more.
        const double budget = plan.videoBitRate * (1 - FitMargin);
        double most = std::min(budget, videoCeiling(request, probe).value_or(budget));
        if (const auto source = sourceVideoRate(*probe.info))
            most = std::min(most, *source);
        auto rate = cappedRate(fitParameters(request.parameters, std::nullopt, plan.audioBitRate), most);
        if (rate && rate->quality)
            quality = QualityTry{*rate, most};
        plan.videoBitRate = std::min(plan.videoBitRate, request.streams.videoCeiling.value_or(plan.videoBitRate));
    }
    FitRun run(request, ffmpeg, container, plan, passLogFolder.filePath(QStringLiteral("pass")).toStdString(), quality);
    QObject::connect(&interruption, &platform::Interruption::interrupted, [&run] { run.stop(); });
    run.start();
    if (!run.status())
        QCoreApplication::exec();
    return run.status().value_or(1);
}

} // namespace encoder
