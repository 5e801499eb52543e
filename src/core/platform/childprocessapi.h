#pragma once

#include "core/platform/processpriority.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace platform {

struct ProcessExit {
    bool crashed = false; // ended by a signal (a kill, a crash) instead of exiting
    int exitCode = -1;
    bool succeeded() const { return !crashed && exitCode == 0; }
};

// One started program whose standard output and standard error arrive as one stream. It is used
// in one of two ways: launch() and its signals, which never hold the thread, or start() and the
// waiting calls with a deadline, for a short job whose caller waits anyway.
class ChildProcess : public QObject {
    Q_OBJECT

public:
    // Most bytes one delivery of output holds.
    static constexpr qsizetype ChunkSize = 4095;

    // Starts program with arguments, one element each, and returns at once: then come output,
    // and exited when it has ended, or failedToStart, possibly before launch returns.
    virtual void launch(const QString &program, const QStringList &arguments) = 0;

    // For the next start: how much of the processor the child and all it starts may take.
    virtual void setPriority(ProcessPriority priority) = 0;
    // For the next start of a program that knows to wait (platform::awaitGo): it begins its work
    // only at go(). Only where the launcher startsWaiting().
    virtual void setWaitsForGo(bool) {}
    virtual void go() {}

    // Starts program and waits until it runs; false when it could not be started.
    virtual bool start(const QString &program, const QStringList &arguments) = 0;
    // A sentence for the user on why a start failed.
    virtual QString errorString() const = 0;
    // At most maxBytes of new output, waiting for it until the deadline: empty once the output
    // has ended, nothing when the deadline passed first.
    virtual std::optional<QByteArray> read(qsizetype maxBytes, QDeadlineTimer deadline) = 0;
    // Waits until the child has exited and tells how; nothing when the deadline passed first.
    virtual std::optional<ProcessExit> waitForExit(QDeadlineTimer deadline) = 0;

    // Kills the child and every process it started, a held one too; does not wait.
    virtual void terminate() = 0;
    // Stops the child and every process it started where they are, and lets them go on.
    virtual void hold() = 0;
    virtual void resume() = 0;
    virtual bool isRunning() const = 0;
    // The child's process number once started; 0 for one that is no real process.
    virtual qint64 processId() const { return 0; }

signals:
    void output(const QByteArray &bytes);
    void exited(platform::ProcessExit exit);
    void failedToStart(const QString &reason);
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    virtual std::unique_ptr<ChildProcess> create() = 0;
    // Whether its children can be started to wait for go.
    virtual bool startsWaiting() const { return false; }
};

} // namespace platform

Q_DECLARE_METATYPE(platform::ProcessExit)
