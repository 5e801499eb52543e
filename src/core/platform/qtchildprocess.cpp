#include "core/platform/qtchildprocess.h"

#include "core/platform/childprocess.h"

#include <QProcess>

namespace platform {
namespace {

class QtChildProcess final : public ChildProcess {
public:
    QtChildProcess()
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setInputChannelMode(QProcess::ForwardedInputChannel);
        confineChildProcess(m_process, ProcessGroup::Own);
    }

    ~QtChildProcess() override
    {
        // Nobody may hear of the end of a child that is thrown away.
        QObject::disconnect(&m_process, nullptr, this, nullptr);
        terminate();
        // The group is already killed, so this returns at once.
        m_process.waitForFinished(5000);
    }

    void launch(const QString &program, const QStringList &arguments) override
    {
        connect(&m_process, &QProcess::readyRead, this, &QtChildProcess::deliverOutput);
        connect(&m_process, &QProcess::finished, this, [this] {
            deliverOutput();
            // A finished leader may still have children in its group.
            terminate();
            emit exited(exitOf());
        });
        connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                emit failedToStart(m_process.errorString());
        });
        m_process.start(program, arguments, QIODevice::ReadOnly);
        m_pid = m_process.processId();
        watchProcessGroup(m_pid);
    }

    bool start(const QString &program, const QStringList &arguments) override
    {
        m_process.start(program, arguments, QIODevice::ReadOnly);
        if (!m_process.waitForStarted(-1))
            return false;
        m_pid = m_process.processId();
        watchProcessGroup(m_pid);
        return true;
    }

    void setPriority(ProcessPriority priority) override
    {
        m_priority = priority;
        confineChildProcess(m_process, ProcessGroup::Own, m_priority, m_waitsForGo);
    }
    void setWaitsForGo(bool waits) override
    {
        m_waitsForGo = waits;
        confineChildProcess(m_process, ProcessGroup::Own, m_priority, m_waitsForGo);
    }
    void go() override
    {
        if (leaderIsOurs())
            letGo(m_pid);
    }

    void hold() override
    {
        if (leaderIsOurs())
            holdProcessGroup(m_pid);
    }
    void resume() override
    {
        if (leaderIsOurs())
            continueProcessGroup(m_pid);
    }

    QString errorString() const override { return m_process.errorString(); }

    std::optional<QByteArray> read(qsizetype maxBytes, QDeadlineTimer deadline) override
    {
        while (m_process.bytesAvailable() == 0 && m_process.state() != QProcess::NotRunning) {
            if (deadline.hasExpired())
                return std::nullopt;
            m_process.waitForReadyRead(int(deadline.remainingTime()));
        }
        return m_process.read(maxBytes);
    }

    std::optional<ProcessExit> waitForExit(QDeadlineTimer deadline) override
    {
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(int(deadline.remainingTime())) &&
            m_process.state() != QProcess::NotRunning)
            return std::nullopt;
        return exitOf();
    }

    void terminate() override
    {
        if (m_pid <= 0 || m_remainsKilled)
            return;
        if (!leaderIsOurs()) {
            // Once, right after the reaping: later the number may be anyone's.
            m_remainsKilled = true;
            killGroupRemains(m_pid);
            return;
        }
        // The leader itself directly too, in case it is killed before it could found its group.
        // A held group is let go first: nothing of it may linger stopped.
        continueProcessGroup(m_pid);
        killProcessGroup(m_pid);
        m_process.kill();
    }

    bool isRunning() const override { return m_process.state() != QProcess::NotRunning; }
    qint64 processId() const override { return m_pid; }

private:
    // Until QProcess reaps the leader its number is ours, and so is the group's.
    bool leaderIsOurs() const { return m_process.state() != QProcess::NotRunning; }

    void deliverOutput()
    {
        while (m_process.bytesAvailable() > 0)
            emit output(m_process.read(ChunkSize));
    }

    ProcessExit exitOf() const
    {
        ProcessExit exit;
        exit.crashed = m_process.exitStatus() == QProcess::CrashExit;
        exit.exitCode = m_process.exitCode();
        return exit;
    }

    QProcess m_process;
    ProcessPriority m_priority = ProcessPriority::Normal;
    bool m_waitsForGo = false;
    qint64 m_pid = 0;
    bool m_remainsKilled = false;
};

} // namespace

std::unique_ptr<ChildProcess> QtProcessLauncher::create()
{
    return std::make_unique<QtChildProcess>();
}

} // namespace platform
