#include "ffmpeg/ffmpegrun.h"

#include "core/platform/childprocess.h"
#include "console.h"

namespace encoder {

namespace {

constexpr int HeartbeatMs = 400;
constexpr int StopGraceMs = 2000;

} // namespace

FfmpegRun::FfmpegRun(const QString &program, const std::vector<std::string> &arguments,
                     std::function<void(const Outcome &)> onEnded, ProgressShare share)
    : status_(share), onEnded_(std::move(onEnded))
{
    QStringList list;
    for (const auto &argument : arguments)
        list.append(QString::fromStdString(argument));
    process_.setProgram(program);
    process_.setArguments(list);
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    // FFmpeg stays in our process group, which the window kills as a whole.
    platform::confineChildProcess(process_, platform::ProcessGroup::Inherit);

    heartbeat_.setInterval(HeartbeatMs);
    QObject::connect(&heartbeat_, &QTimer::timeout, &process_, [this] { printStatus(status_.statusLine()); });
    killDeadline_.setSingleShot(true);
    killDeadline_.setInterval(StopGraceMs);
    QObject::connect(&killDeadline_, &QTimer::timeout, &process_, [this] { process_.kill(); });

    QObject::connect(&process_, &QProcess::started, &process_, [this] { printStatus(status_.statusLine()); });
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, &process_, [this] { relayProgress(); });
    QObject::connect(&process_, &QProcess::readyReadStandardError, &process_, [this] { relayErrors(); });
    QObject::connect(&process_, &QProcess::errorOccurred, &process_, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end({Ending::FailedToStart, 0, process_.errorString()});
    });
    QObject::connect(&process_, &QProcess::finished, &process_, [this](int exitCode, QProcess::ExitStatus status) {
        relayProgress();
        relayErrors();
        errorLines_.finish([this](std::string_view line) { relayLogLine(line); });
        if (stopRequested_)
            end({Ending::Stopped, exitCode, {}});
        else if (status == QProcess::CrashExit)
            end({Ending::Crashed, exitCode, {}});
        else
            end({Ending::Exited, exitCode, {}});
    });
}

void FfmpegRun::start()
{
    process_.start();
}

void FfmpegRun::stop()
{
    if (stopRequested_ || ended_)
        return;
    stopRequested_ = true;
    if (process_.state() == QProcess::NotRunning)
        return;
    platform::requestTermination(process_.processId());
    killDeadline_.start();
}

void FfmpegRun::relayProgress()
{
    progressLines_.feed(process_.readAllStandardOutput().toStdString(), [this](std::string_view line) {
        if (const auto status = status_.takeLine(line))
            printStatus(*status);
    });
}

void FfmpegRun::relayErrors()
{
    errorLines_.feed(process_.readAllStandardError().toStdString(),
                     [this](std::string_view line) { relayLogLine(line); });
}

void FfmpegRun::relayLogLine(std::string_view line)
{
    if (const auto shown = log_.takeLine(line))
        printError(*shown);
}

void FfmpegRun::printStatus(const std::string &line)
{
    printLine(line);
    heartbeat_.start(); // restarts: the next repeat is due a full interval after this line
}

void FfmpegRun::end(const Outcome &outcome)
{
    if (ended_)
        return;
    ended_ = true;
    heartbeat_.stop();
    killDeadline_.stop();
    Outcome reached = outcome;
    reached.reachedSeconds = status_.seconds();
    reached.progressEnded = status_.ended();
    reached.account = log_.account();
    onEnded_(reached);
}

} // namespace encoder
