#pragma once

#include "core/conversion/mediaprobe.h"
#include "core/platform/childprocessapi.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace conversion {

// Probes inputs in the background, many through one encoder run, which loads the media libraries
// once for them all. It holds no thread: the encoder's output and its end arrive as signals. An
// input that stalls (a stalled mount, a named pipe with a video's name) costs its own time limit,
// and those after it go on in a new run.
class ProbeQueue : public QObject {
    Q_OBJECT

public:
    ProbeQueue(platform::ProcessLauncher &launcher, QString encoderPath, QObject *parent = nullptr);
    ~ProbeQueue() override;

    // Each input's own time; an input already probing keeps the time it began with.
    void setTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }
    // An unconfirmed input is told of only when its probe finds a stream, or runs out of time:
    // then nothing says it is no video. Probing begins at the next turn of the event loop, so
    // inputs appended together share a run.
    void append(const QString &path, bool unconfirmed = false);
    // Forgets every input not told of yet and kills the encoder; nothing more is told, not even idle.
    void cancel();
    // Nothing waiting, nothing probing, nothing left to tell.
    bool isIdle() const { return m_inputs.empty(); }

signals:
    // Every input in the order appended, each once its probe and those of all before it are done.
    void probed(const QString &path, const conversion::ProbeResults &results);
    // The last input appended has been told of (or dropped).
    void idle();

private:
    struct Input {
        QString path;
        bool unconfirmed = false;
        bool alone = false; // probed in a run of its own
        bool probing = false;
        bool timedOut = false;
        std::optional<ProbeResults> results;
    };

    void startRun();
    void readOutput(const QByteArray &bytes);
    void runExited();
    void runFailedToStart();
    void runTimedOut();
    void settle(qsizetype position, const ProbeResults &results);
    Input *inputAt(qsizetype position);
    void endRun(bool kill, bool leftGoAlone);
    void retire(bool kill);
    void bury(platform::ChildProcess *encoder);
    void tell();
    void scheduleRun();

    platform::ProcessLauncher &m_launcher;
    const QString m_encoderPath;
    int m_timeLimitMs = ProbeTimeLimitMs;
    // In the order appended, from the first not told of yet.
    std::deque<Input> m_inputs;
    // The running encoder's inputs, each as its number among all inputs ever appended.
    std::vector<qint64> m_run;
    qint64 m_told = 0; // inputs told of or dropped: the number of m_inputs' first
    int m_cancels = 0;
    std::unique_ptr<platform::ChildProcess> m_encoder;
    std::unique_ptr<ProbeRunReader> m_reader;
    // Killed encoders kept until their end arrives, so that dropping one never waits for it.
    std::vector<std::unique_ptr<platform::ChildProcess>> m_dying;
    QTimer m_limit;
    bool m_runScheduled = false;
    bool m_telling = false;
};

} // namespace conversion
