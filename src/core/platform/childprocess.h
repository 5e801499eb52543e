#pragma once

#include "core/platform/processpriority.h"
#include "core/platform/processsignals.h"

#include <QtGlobal>

class QProcess;

namespace platform {

enum class ProcessGroup { Own, Inherit };

// Children must never outlive us: the child gets a death signal tied to this process, and with
// ProcessGroup::Own it leads a group of its own, so killProcessGroup reaches its children too.
// The priority is set before the program runs, so that all its threads and children inherit it.
// A child that waits for go is started with the signal letGo sends held back, so that it stays
// pending until the child waits for it, however early it comes.
void confineChildProcess(QProcess &process, ProcessGroup group, ProcessPriority priority = ProcessPriority::Normal,
                         bool waitsForGo = false);

// Stops every process of the group led by pid where it is, and lets it go on again.
void holdProcessGroup(qint64 pid);
void continueProcessGroup(qint64 pid);

// Stops this process as the terminal's suspend key would; it goes on when continued.
void suspendCurrentProcess();

// Kills every process of the group led by pid at once; no effect when the group is gone.
void killProcessGroup(qint64 pid);

// Once the leader pid has been reaped: kills what is left of its group, if anything. A group with
// a member keeps its number, so this reaches only ours; an empty one is left alone, as its number
// may be another process's by now.
void killGroupRemains(qint64 pid);

// Remembers the group the child pid leads, just started, until the group is found empty.
void watchProcessGroup(qint64 pid);

// Before the program exits: waits until no process is left of the groups its children lead, at
// most patienceMs, then kills what is left and waits for that a little. False when a process
// outlived even that.
bool endProcessGroups(int patienceMs = 5000);

} // namespace platform
