#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace platform {

struct ProcessExit {
    bool crashed = false; // ended by a signal (a kill, a crash) instead of exiting
    int exitCode = -1;
    bool succeeded() const { return !crashed && exitCode == 0; }
};

// How a read waits while the child is silent.
enum class ReadWait {
    Blocking,  // holds the thread; nothing else runs meanwhile
    EventLoop, // lets the event loop run, so the window stays live
};

// One started program whose standard output and standard error arrive as one stream.
class ChildProcess {
public:
    virtual ~ChildProcess() = default;

    // Starts program with arguments, one element each; false when it could not be started.
    virtual bool start(const QString &program, const QStringList &arguments) = 0;
    // A sentence for the user on why start failed.
    virtual QString errorString() const = 0;
    // At most maxBytes of new output; an empty result means the output has ended.
    virtual QByteArray read(qsizetype maxBytes, ReadWait wait) = 0;
    // Waits until the child has exited and tells how.
    virtual ProcessExit waitForExit(ReadWait wait) = 0;
    // Kills the child and every process it started; does not wait.
    virtual void terminate() = 0;
    virtual bool isRunning() const = 0;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    virtual std::unique_ptr<ChildProcess> create() = 0;
};

} // namespace platform
