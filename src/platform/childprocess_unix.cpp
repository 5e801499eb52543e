#include "childprocess.h"

#include <QProcess>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/prctl.h>
#include <sys/socket.h>
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

namespace {
int signalPipe[2] = {-1, -1};

void writeSignalByte(int)
{
    const char byte = 1;
    [[maybe_unused]] auto written = ::write(signalPipe[1], &byte, 1);
}
} // namespace

void onTerminationRequest(std::function<void()> handler)
{
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [handler] {
        char byte;
        [[maybe_unused]] auto got = ::read(signalPipe[0], &byte, 1);
        handler();
    });
    struct sigaction action {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
}

} // namespace platform
