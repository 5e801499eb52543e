#include "ffmpeg/ffmpegrun.h"

#include "console.h"
#include "core/platform/childprocess.h"

namespace encoder {

namespace {

constexpr int HeartbeatMs = 400;
constexpr int StopGraceMs = 2000;

} // namespace

FfmpegRun::FfmpegRun(const QString &program, const std::vector<std::string> &arguments,
                     std::function<void(const Outcome &)> onEnded, ProgressShare share)
    : m_status(share)
    , m_onEnded(std::move(onEnded))
{
    QStringList list;
    for (const auto &argument : arguments)
        list.append(QString::fromStdString(argument));
    m_process.setProgram(program);
    m_process.setArguments(list);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    // FFmpeg stays in our process group, which the window kills as a whole.
    platform::confineChildProcess(m_process, platform::ProcessGroup::Inherit);

    m_heartbeat.setInterval(HeartbeatMs);
    QObject::connect(&m_heartbeat, &QTimer::timeout, &m_process, [this] { printStatus(m_status.statusLine()); });
    m_killDeadline.setSingleShot(true);
    m_killDeadline.setInterval(StopGraceMs);
    QObject::connect(&m_killDeadline, &QTimer::timeout, &m_process, [this] { m_process.kill(); });

    QObject::connect(&m_process, &QProcess::started, &m_process, [this] { printStatus(m_status.statusLine()); });
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process, [this] { relayProgress(); });
    QObject::connect(&m_process, &QProcess::readyReadStandardError, &m_process, [this] { relayErrors(); });
    QObject::connect(&m_process, &QProcess::errorOccurred, &m_process, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end({Ending::FailedToStart, 0, m_process.errorString()});
    });
    QObject::connect(&m_process, &QProcess::finished, &m_process, [this](int exitCode, QProcess::ExitStatus status) {
        relayProgress();
        relayErrors();
        m_errorLines.finish([this](std::string_view line) { relayLogLine(line); });
        if (m_stopRequested)
            end({Ending::Stopped, exitCode, {}});
        else if (status == QProcess::CrashExit)
            end({Ending::Crashed, exitCode, {}});
        else
            end({Ending::Exited, exitCode, {}});
    });
}

void FfmpegRun::start()
{
    m_process.start();
}

void FfmpegRun::stop()
{
    if (m_stopRequested || m_ended)
        return;
    m_stopRequested = true;
    if (m_process.state() == QProcess::NotRunning)
        return;
    platform::requestTermination(m_process.processId());
    m_killDeadline.start();
}

void FfmpegRun::relayProgress()
{
    m_progressLines.feed(m_process.readAllStandardOutput().toStdString(), [this](std::string_view line) {
        if (const auto status = m_status.takeLine(line))
            printStatus(*status);
    });
}

void FfmpegRun::relayErrors()
{
    m_errorLines.feed(m_process.readAllStandardError().toStdString(),
                      [this](std::string_view line) { relayLogLine(line); });
}

void FfmpegRun::relayLogLine(std::string_view line)
{
    if (const auto shown = m_log.takeLine(line))
        printError(*shown);
}

void FfmpegRun::printStatus(const std::string &line)
{
    printLine(line);
    m_heartbeat.start(); // restarts: the next repeat is due a full interval after this line
}

void FfmpegRun::end(const Outcome &outcome)
{
    if (m_ended)
        return;
    m_ended = true;
    m_heartbeat.stop();
    m_killDeadline.stop();
    Outcome reached = outcome;
    reached.reachedSeconds = m_status.seconds();
    reached.progressEnded = m_status.ended();
    reached.account = m_log.account();
    m_onEnded(reached);
}

} // namespace encoder
