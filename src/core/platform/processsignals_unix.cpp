#include "core/platform/processsignals.h"

#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <unistd.h>

namespace platform {
namespace {

// Held back in a child that waits for go until it waits for it; it would end one that does not.
constexpr int GoSignal = SIGUSR2;

} // namespace

void awaitGo()
{
    sigset_t go;
    sigemptyset(&go);
    sigaddset(&go, GoSignal);
    sigset_t held;
    if (pthread_sigmask(SIG_SETMASK, nullptr, &held) != 0 || sigismember(&held, GoSignal) != 1)
        return;
    int signal = 0;
    while (sigwait(&go, &signal) != 0) {
    }
    // What this program starts must not inherit the held signal.
    pthread_sigmask(SIG_UNBLOCK, &go, nullptr);
}

void letGo(std::int64_t pid)
{
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), GoSignal);
}

void holdBackGo()
{
    sigset_t go;
    sigemptyset(&go);
    sigaddset(&go, GoSignal);
    sigprocmask(SIG_BLOCK, &go, nullptr);
}

void requestTermination(std::int64_t pid)
{
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
}

bool processIsRunning(std::int64_t pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

std::int64_t currentProcessId()
{
    return ::getpid();
}

} // namespace platform
