#include "childprocess.h"

#include <QProcess>

#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace platform {

void confineChildProcess(QProcess &process, ProcessGroup group)
{
    const pid_t parent = getpid();
    const bool ownGroup = group == ProcessGroup::Own;
    // Runs in the child between fork and exec: async-signal-safe calls only.
    process.setChildProcessModifier([parent, ownGroup] {
        if (ownGroup)
            setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The parent may have died before the death signal was armed.
        if (getppid() != parent)
            _exit(127);
    });
}

void killProcessGroup(qint64 pid)
{
    if (pid > 0)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
}

void requestTermination(qint64 pid)
{
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
}

bool processIsRunning(qint64 pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

qint64 currentProcessId()
{
    return ::getpid();
}

} // namespace platform
