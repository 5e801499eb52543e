#include "core/platform/fakes/fakechildprocess.h"

#include <QTimer>

namespace platform {

class FakeChildProcess final : public ChildProcess {
public:
    explicit FakeChildProcess(FakeProcessLauncher &launcher) : m_launcher(launcher) {}

    void launch(const QString &program, const QStringList &arguments) override
    {
        if (!begin(program, arguments)) {
            QTimer::singleShot(0, this, [this] { emit failedToStart(errorString()); });
            return;
        }
        deliverLater();
    }

    bool start(const QString &program, const QStringList &arguments) override { return begin(program, arguments); }

    QString errorString() const override { return QStringLiteral("The program could not be started."); }

    std::optional<QByteArray> read(qsizetype maxBytes, QDeadlineTimer) override
    {
        if (!m_terminated && m_next >= m_run.reads.size() && m_run.hangsAfterReads)
            return std::nullopt; // as if the deadline had passed
        if (m_terminated || m_next >= m_run.reads.size()) {
            m_running = false;
            return QByteArray();
        }
        return takeChunk(maxBytes);
    }

    std::optional<ProcessExit> waitForExit(QDeadlineTimer) override
    {
        if (m_running && m_run.hangsAfterReads && !m_terminated)
            return std::nullopt;
        m_running = false;
        return m_terminated ? ProcessExit{true, 9} : m_run.exit;
    }

    void terminate() override
    {
        ++m_launcher.terminations;
        resume();
        if (!m_running || m_run.finishedBeforeTerminate)
            return;
        m_terminated = true;
        m_running = false;
        QTimer::singleShot(0, this, [this] { emit exited(ProcessExit{true, 9}); });
    }

    bool isRunning() const override { return m_running; }

    void setPriority(ProcessPriority priority) override { m_launcher.priority = priority; }

    void hold() override
    {
        if (m_running && !m_held)
            ++m_launcher.held;
        m_held = m_running;
    }

    void resume() override
    {
        if (m_held)
            --m_launcher.held;
        m_held = false;
        if (m_waiting) {
            m_waiting = false;
            deliverLater();
        }
    }

private:
    bool begin(const QString &program, const QStringList &arguments)
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

    QByteArray takeChunk(qsizetype maxBytes)
    {
        QByteArray &chunk = m_run.reads[m_next];
        const QByteArray part = chunk.left(maxBytes);
        chunk.remove(0, part.size());
        if (chunk.isEmpty())
            ++m_next;
        return part;
    }

    // One delivery per turn of the event loop, as output arrives from a real child.
    void deliverLater()
    {
        QTimer::singleShot(0, this, [this] {
            if (m_terminated)
                return;
            // A held child says nothing and does not end until it goes on.
            if (m_held) {
                m_waiting = true;
                return;
            }
            if (m_next < m_run.reads.size()) {
                emit output(takeChunk(ChunkSize));
                deliverLater();
            } else if (!m_run.hangsAfterReads) {
                m_running = false;
                emit exited(m_run.exit);
            }
        });
    }

    FakeProcessLauncher &m_launcher;
    FakeRun m_run;
    qsizetype m_next = 0;
    bool m_running = false;
    bool m_terminated = false;
    bool m_held = false;
    bool m_waiting = false; // a delivery waits for the child to go on
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
