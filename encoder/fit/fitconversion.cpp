#include "fit/fitconversion.h"

#include "console.h"
#include "conversionplan.h"
#include "core/platform/processfolders.h"
#include "core/platform/stopsignals.h"
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

#include <algorithm>
#include <filesystem>
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

// One conversion into a size, a pass or a try at a time, each FFmpeg run to its end before the
// next; a stop ends the run under way and starts no other.
class FitRun {
public:
    FitRun(const ConversionRequest &request, const std::string &ffmpeg, const std::vector<std::string> &container,
           const FitPlan &plan, std::string passLog, std::optional<QualityTry> quality, platform::StopSignals &stops)
        : m_request(request)
        , m_ffmpeg(ffmpeg)
        , m_container(container)
        , m_plan(plan)
        , m_passLog(std::move(passLog))
        , m_quality(std::move(quality))
        , m_stops(stops)
        , m_videoBitRate(plan.videoBitRate)
        , m_passesFrom(m_quality ? plan.seconds / 3 : 0)
    {}

    int run()
    {
        if (m_quality)
            return qualityTry();
        if (m_plan.video)
            return passes();
        const ConversionRequest pass = passRequest({});
        // Without video there is no lower rate to try: this ends it.
        return outputEnded(pass, runFfmpeg(pass, {0, 1, m_plan.seconds})).value_or(1);
    }

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

    FfmpegRun::Outcome runFfmpeg(const ConversionRequest &pass, ProgressShare share)
    {
        FfmpegRun run(m_ffmpeg, ffmpegArguments(pass, m_container), share);
        FfmpegRun::Outcome outcome = run.run(m_stops);
        if (m_stops.requested())
            outcome.ending = FfmpegRun::Ending::Stopped;
        return outcome;
    }

    // The try at a quality climbs over the first third of the bar; the passes, when it comes out
    // over, share what is left.
    int qualityTry()
    {
        printError(cappedRateLine(m_quality->rate, m_quality->ceiling));
        ConversionRequest pass = m_request;
        pass.parameters = m_quality->rate.parameters;
        const auto outcome = runFfmpeg(pass, {0, 1.0 / 3, m_plan.seconds / 3});
        const auto reached = partBytes(m_request.output);
        if (!clean(outcome) || !reached || *reached <= m_plan.size.bytes) {
            // The passes it spared are not run: the bar ends here.
            if (clean(outcome))
                printLine(ProgressStatus({m_plan.seconds, 0, std::nullopt}).statusLine());
            return conclude(pass, m_container, outcome);
        }
        printError(overText(*reached, m_plan.size) + " is over " + givenText(m_plan.size) +
                   ": converting again in two passes at " + fixedDecimal(m_videoBitRate / 1000, 0) + " kbit/s");
        return passes();
    }

    // Each pass climbs over half of the rest of the bar, and the first one never shows past its
    // half. The first one's video goes into the part file, which the second one writes over.
    int passes()
    {
        const ConversionRequest first = passRequest(firstPassSwitches(m_passLog));
        const double half = passShare() * m_plan.seconds;
        const auto outcome = runFfmpeg(first, {m_passesFrom, passShare(), m_passesFrom + half});
        if (!clean(outcome))
            return conclude(first, m_container, outcome);
        for (;;) {
            // A try after the first starts the second half over.
            const ConversionRequest second = passRequest(secondPassSwitches(m_passLog));
            const auto ended =
                outputEnded(second, runFfmpeg(second, {m_passesFrom + half, passShare(), m_plan.seconds}));
            if (ended)
                return *ended;
        }
    }

    double passShare() const { return (1 - m_passesFrom / m_plan.seconds) / 2; }

    static bool clean(const FfmpegRun::Outcome &outcome)
    {
        return outcome.ending == FfmpegRun::Ending::Exited && outcome.exitCode == 0;
    }

    static std::optional<double> partBytes(const std::string &output)
    {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(partPathFor(output), error);
        return error ? std::nullopt : std::optional(double(bytes));
    }

    // The exit status, or nothing when the video goes again at a lower rate.
    std::optional<int> outputEnded(const ConversionRequest &pass, const FfmpegRun::Outcome &outcome)
    {
        const std::string part = partPathFor(m_request.output);
        std::error_code error;
        const auto reached = std::filesystem::file_size(part, error);
        // A missing output is for the verdict to tell.
        if (!clean(outcome) || error || double(reached) <= m_plan.size.bytes)
            return conclude(pass, m_container, outcome);

        const double videoBytes = outcome.account.videoKilobytes > 0 ? outcome.account.videoKilobytes * 1024
                                                                     : m_videoBitRate / 8 * m_plan.seconds;
        const double lowered = std::max(
            LeastVideoBitRate, loweredVideoBitRate(m_videoBitRate, double(reached), videoBytes, m_plan.size.bytes));
        if (!m_plan.video || m_retries == MostRetries || lowered >= m_videoBitRate) {
            const std::string untouched = "; '" + m_request.output + "' was not changed";
            return failure(unfitSentence(double(reached), m_plan.size) + untouched, 1);
        }
        printError(overText(double(reached), m_plan.size) + " is over " + givenText(m_plan.size) +
                   ": converting again at " + fixedDecimal(lowered / 1000, 0) + " kbit/s");
        m_videoBitRate = lowered;
        ++m_retries;
        return std::nullopt;
    }

    const ConversionRequest &m_request;
    const std::string m_ffmpeg;
    const std::vector<std::string> &m_container;
    const FitPlan m_plan;
    const std::string m_passLog;
    const std::optional<QualityTry> m_quality;
    platform::StopSignals &m_stops;
    double m_videoBitRate;
    const double m_passesFrom; // where the passes start on the bar
    int m_retries = 0;
};

} // namespace

int runFitConversion(const ConversionRequest &request, const std::string &ffmpeg,
                     const std::vector<std::string> &container)
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
    platform::StopSignals stops;
    // A folder of its own for every conversion, so that two at once never share a pass log.
    // Named after this encoder: one killed outright cannot remove it, whoever killed it does.
    platform::removeOrphanedProcessFolders(protocol::PassLogFolderPrefix);
    const platform::ProcessFolder passLogFolder(protocol::PassLogFolderPrefix);
    if (passLogFolder.path().empty()) {
        printError("Cannot make a folder for the pass log: " + passLogFolder.error());
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
    return FitRun(request, ffmpeg, container, plan, passLogFolder.path() + "/pass", quality, stops).run();
}

} // namespace encoder
