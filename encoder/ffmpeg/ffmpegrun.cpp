#include "ffmpeg/ffmpegrun.h"

#include "console.h"
#include "core/platform/pipedchild.h"
#include "core/platform/stopsignals.h"

#include <algorithm>
#include <chrono>

namespace encoder {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto Heartbeat = std::chrono::milliseconds(400);
constexpr auto StopGrace = std::chrono::milliseconds(2000);

} // namespace

FfmpegRun::FfmpegRun(const std::string &program, const std::vector<std::string> &arguments, ProgressShare share)
    : m_program(program)
    , m_arguments(arguments)
    , m_status(share)
{}

FfmpegRun::Outcome FfmpegRun::run(platform::StopSignals &stops)
{
    // FFmpeg stays in our process group, which the window kills as a whole.
    platform::PipedChild ffmpeg;
    std::string startError;
    if (!ffmpeg.start(m_program, m_arguments, &startError))
        return reached({Ending::FailedToStart, 0, startError});

    bool stopRequested = false;
    Clock::time_point killAt = Clock::time_point::max(); // once asked to stop, when it is killed
    printStatus(m_status.statusLine());
    for (;;) {
        const Clock::time_point due = std::min(m_nextStatus, killAt);
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now());
        const auto events = ffmpeg.wait(int(std::max<std::int64_t>(0, wait.count())), stops.descriptor());
        relayProgress(events.output);
        relayErrors(events.error);
        if (events.ended)
            break;
        // Read at every wake: a signal left unread would wake the wait at once, again and again.
        if (events.watchedReady && stops.requested() && !stopRequested) {
            stopRequested = true;
            ffmpeg.terminate();
            killAt = Clock::now() + StopGrace;
        }
        const Clock::time_point now = Clock::now();
        if (now >= killAt) {
            ffmpeg.kill();
            killAt = Clock::time_point::max();
        }
        if (now >= m_nextStatus)
            printStatus(m_status.statusLine());
    }
    m_errorLines.finish([this](std::string_view line) { relayLogLine(line); });
    if (stopRequested)
        return reached({Ending::Stopped, ffmpeg.exitCode(), {}});
    return reached({ffmpeg.crashed() ? Ending::Crashed : Ending::Exited, ffmpeg.exitCode(), {}});
}

void FfmpegRun::relayProgress(const std::string &bytes)
{
    if (bytes.empty())
        return;
    m_progressLines.feed(bytes, [this](std::string_view line) {
        if (const auto status = m_status.takeLine(line))
            printStatus(*status);
    });
}

void FfmpegRun::relayErrors(const std::string &bytes)
{
    if (!bytes.empty())
        m_errorLines.feed(bytes, [this](std::string_view line) { relayLogLine(line); });
}

void FfmpegRun::relayLogLine(std::string_view line)
{
    if (const auto shown = m_log.takeLine(line))
        printError(*shown);
}

void FfmpegRun::printStatus(const std::string &line)
{
    printLine(line);
    // The next repeat is due a full interval after this line.
    m_nextStatus = Clock::now() + Heartbeat;
}

FfmpegRun::Outcome FfmpegRun::reached(Outcome outcome) const
{
    outcome.reachedSeconds = m_status.seconds();
    outcome.progressEnded = m_status.ended();
    outcome.account = m_log.account();
    return outcome;
}

} // namespace encoder
