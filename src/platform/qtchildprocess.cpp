#include "qtchildprocess.h"

#include "childprocess.h"

#include <QEventLoop>
#include <QPointer>
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
        terminate();
        // The group is already killed, so this returns at once.
        m_process.waitForFinished(5000);
    }

    bool start(const QString &program, const QStringList &arguments) override
    {
        m_process.start(program, arguments, QIODevice::ReadOnly);
        if (!m_process.waitForStarted(-1))
            return false;
        m_pid = m_process.processId();
        return true;
    }

    QString errorString() const override { return m_process.errorString(); }

    QByteArray read(qsizetype maxBytes, ReadWait wait) override
    {
        while (m_process.bytesAvailable() == 0 && m_process.state() != QProcess::NotRunning) {
            if (wait == ReadWait::Blocking)
                m_process.waitForReadyRead(-1);
            else
                waitInEventLoop(&QProcess::readyRead);
        }
        return m_process.read(maxBytes);
    }

    ProcessExit waitForExit(ReadWait wait) override
    {
        while (m_process.state() != QProcess::NotRunning) {
            if (wait == ReadWait::Blocking)
                m_process.waitForFinished(-1);
            else
                waitInEventLoop(&QProcess::readyRead);
        }
        ProcessExit exit;
        exit.crashed = m_process.exitStatus() == QProcess::CrashExit;
        exit.exitCode = m_process.exitCode();
        return exit;
    }

    void terminate() override
    {
        // A finished leader may still have children in its group, so the group is killed anyway.
        if (m_pid > 0)
            killProcessGroup(m_pid);
    }

    bool isRunning() const override { return m_process.state() != QProcess::NotRunning; }

private:
    template <typename Signal>
    void waitInEventLoop(Signal wakeUp)
    {
        QEventLoop loop;
        QObject::connect(&m_process, wakeUp, &loop, &QEventLoop::quit);
        QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&m_process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        if (m_process.bytesAvailable() == 0 && m_process.state() != QProcess::NotRunning)
            loop.exec();
    }

    QProcess m_process;
    qint64 m_pid = 0;
};

} // namespace

std::unique_ptr<ChildProcess> QtProcessLauncher::create()
{
    return std::make_unique<QtChildProcess>();
}

} // namespace platform
