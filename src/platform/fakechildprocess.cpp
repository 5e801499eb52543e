#include "fakechildprocess.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace platform {

class FakeChildProcess final : public ChildProcess {
public:
    explicit FakeChildProcess(FakeProcessLauncher &launcher) : m_launcher(launcher) {}

    bool start(const QString &program, const QStringList &arguments) override
    {
        const FakeStart start{program, arguments};
        m_launcher.starts.append(start);
        m_run = m_launcher.next(start);
        if (m_run.failsToStart)
            return false;
        m_running = true;
        if (m_run.onStart)
            m_run.onStart();
        return true;
    }

    QString errorString() const override { return QStringLiteral("The program could not be started."); }

    QByteArray read(qsizetype maxBytes, ReadWait wait) override
    {
        if (wait == ReadWait::EventLoop)
            QCoreApplication::processEvents();
        while (!m_terminated && m_next >= m_run.reads.size() && m_run.hangsAfterReads) {
            if (wait == ReadWait::Blocking)
                return {}; // a blocking read of a hung child would never return
            QEventLoop loop;
            QTimer::singleShot(5, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (m_terminated || m_next >= m_run.reads.size()) {
            m_running = false;
            return {};
        }
        QByteArray &chunk = m_run.reads[m_next];
        const QByteArray part = chunk.left(maxBytes);
        chunk.remove(0, part.size());
        if (chunk.isEmpty())
            ++m_next;
        return part;
    }

    ProcessExit waitForExit(ReadWait) override
    {
        m_running = false;
        if (m_terminated)
            return ProcessExit{true, 9};
        return m_run.exit;
    }

    void terminate() override
    {
        ++m_launcher.terminations;
        if (m_running)
            m_terminated = true;
        m_running = false;
    }

    bool isRunning() const override { return m_running; }

private:
    FakeProcessLauncher &m_launcher;
    FakeRun m_run;
    qsizetype m_next = 0;
    bool m_running = false;
    bool m_terminated = false;
};

std::unique_ptr<ChildProcess> FakeProcessLauncher::create()
{
    return std::make_unique<FakeChildProcess>(*this);
}

FakeRun FakeProcessLauncher::next(const FakeStart &start)
{
    if (!m_queue.empty()) {
        FakeRun run = std::move(m_queue.front());
        m_queue.pop_front();
        return run;
    }
    if (responder)
        return responder(start);
    return FakeRun{};
}

} // namespace platform
