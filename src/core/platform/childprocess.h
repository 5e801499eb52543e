#pragma once

#include <QtGlobal>

class QProcess;

namespace platform {

enum class ProcessGroup { Own, Inherit };

// Children must never outlive us: the child gets a death signal tied to this process, and with
// ProcessGroup::Own it leads a group of its own, so killProcessGroup reaches its children too.
void confineChildProcess(QProcess &process, ProcessGroup group);

// Kills every process of the group led by pid at once; no effect when the group is gone.
void killProcessGroup(qint64 pid);

// Asks the process to end gracefully (SIGTERM on this platform).
void requestTermination(qint64 pid);

// Whether a process with this number is running now (one of another user's counts too).
bool processIsRunning(qint64 pid);

// This process's own number.
qint64 currentProcessId();

} // namespace platform
