#include "core/platform/childprocess.h"
#include "core/platform/lifeline.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QSet>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {
namespace {

QMutex watchedGroupsLock;
// Leaders of the groups started and not found empty yet; a group's number is not given to
// another process while the group has a member, and an empty one is forgotten at the next look.
QSet<qint64> watchedGroups;

// The groups with a member still alive: a zombie has ended already.
QSet<qint64> livingGroups()
{
    QSet<qint64> groups;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        if (!entry.front().isDigit() || !stat.open(QIODevice::ReadOnly))
            continue;
        // The command name in parentheses may hold anything; state, parent and group follow it.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields.at(0) != "Z")
            groups.insert(fields.at(2).toLongLong());
    }
    return groups;
}

// Whether any process is left in the group; one that has ended but is not reaped yet counts, as
// it keeps the group's number from being handed out again.
bool groupHasMember(qint64 group)
{
    return ::kill(-static_cast<pid_t>(group), 0) == 0 || errno == EPERM;
}

// Forgets the watched groups that are gone; a leader still there may not have founded its group
// yet.
QSet<qint64> livingWatchedGroups()
{
    const QSet<qint64> living = livingGroups();
    const QMutexLocker locker(&watchedGroupsLock);
    watchedGroups.removeIf([&living](qint64 group) { return !living.contains(group) && !processIsRunning(group); });
    return watchedGroups;
}

// glibc has no wrapper for ioprio_set; the values are the kernel's.
constexpr int IoprioWhoProcess = 1;
constexpr int IoprioClassIdle = 3;
constexpr int IoprioClassShift = 13;

// Runs in the child between fork and exec: async-signal-safe calls only. A failure leaves the
// child at our own priority, which converts all the same.
void lowerPriority(ProcessPriority priority)
{
    if (priority == ProcessPriority::Low) {
        setpriority(PRIO_PROCESS, 0, 10);
    } else if (priority == ProcessPriority::Idle) {
        setpriority(PRIO_PROCESS, 0, 19);
        sched_param parameter{};
        sched_setscheduler(0, SCHED_IDLE, &parameter);
        syscall(SYS_ioprio_set, IoprioWhoProcess, 0, IoprioClassIdle << IoprioClassShift);
    }
}

bool waitForWatchedGroups(QDeadlineTimer deadline)
{
    while (!livingWatchedGroups().isEmpty()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

} // namespace

void confineChildProcess(QProcess &process, ProcessGroup group, ProcessPriority priority, bool waitsForGo)
{
    const pid_t parent = getpid();
    const bool ownGroup = group == ProcessGroup::Own;
    // Runs in the child between fork and exec: async-signal-safe calls only.
    process.setChildProcessModifier([parent, ownGroup, priority, waitsForGo] {
        if (ownGroup)
            setpgid(0, 0);
        if (waitsForGo)
            holdBackGo();
        lowerPriority(priority);
        // A lifeline passed on is held until this child, and what it starts, are gone too.
        if (const int lifeline = lifelineForChildren(); lifeline >= 0)
            fcntl(lifeline, F_SETFD, 0);
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

// The leader directly too, in case it has not founded its group yet.
void holdProcessGroup(qint64 pid)
{
    if (pid <= 0)
        return;
    ::kill(-static_cast<pid_t>(pid), SIGSTOP);
    ::kill(static_cast<pid_t>(pid), SIGSTOP);
}

void continueProcessGroup(qint64 pid)
{
    if (pid <= 0)
        return;
    ::kill(-static_cast<pid_t>(pid), SIGCONT);
    ::kill(static_cast<pid_t>(pid), SIGCONT);
}

void suspendCurrentProcess()
{
    ::raise(SIGSTOP);
}

void killGroupRemains(qint64 pid)
{
    // Numbers are handed out in turn, so one whose group emptied a moment ago is not reused yet.
    if (pid > 0 && groupHasMember(pid))
        killProcessGroup(pid);
}

void watchProcessGroup(qint64 pid)
{
    if (pid <= 0)
        return;
    const QMutexLocker locker(&watchedGroupsLock);
    // Forgetting the empty ones here keeps the set small, and a reused number out of it. A look
    // at each group costs far less than reading every process of the system at each start.
    watchedGroups.removeIf([](qint64 group) { return !groupHasMember(group) && !processIsRunning(group); });
    watchedGroups.insert(pid);
}

bool endProcessGroups(int patienceMs)
{
    // A killed process is not gone until it has run to its end, which a loaded machine delays.
    if (waitForWatchedGroups(QDeadlineTimer(patienceMs)))
        return true;
    for (const qint64 group : livingWatchedGroups())
        killProcessGroup(group);
    return waitForWatchedGroups(QDeadlineTimer(1000));
}

} // namespace platform
