#include "core/platform/stopsignals.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::array StopSignalNumbers{SIGINT, SIGTERM, SIGHUP};

// A signal handler may do next to nothing: it wakes whoever polls the pipe.
int stopPipe[2] = {-1, -1};
struct sigaction previousActions[StopSignalNumbers.size()];
struct sigaction previousPipeAction;

// A handler rather than SIG_IGN, because an ignored signal would stay ignored in the programs
// we start.
void ignoreBrokenPipe(int)
{}

void writeStop(int signal)
{
    const int saved = errno;
    const char number = char(signal);
    [[maybe_unused]] const auto written = ::write(stopPipe[1], &number, 1);
    errno = saved;
}

} // namespace

StopSignals::StopSignals()
{
    if (stopPipe[0] >= 0 || ::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_owner = true;
    struct sigaction action {};
    action.sa_handler = writeStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t n = 0; n < StopSignalNumbers.size(); ++n)
        ::sigaction(StopSignalNumbers[n], &action, &previousActions[n]);
    action.sa_handler = ignoreBrokenPipe;
    ::sigaction(SIGPIPE, &action, &previousPipeAction);
}

StopSignals::~StopSignals()
{
    if (!m_owner)
        return;
    for (std::size_t n = 0; n < StopSignalNumbers.size(); ++n)
        ::sigaction(StopSignalNumbers[n], &previousActions[n], nullptr);
    ::sigaction(SIGPIPE, &previousPipeAction, nullptr);
    for (int &end : stopPipe) {
        ::close(end);
        end = -1;
    }
}

int StopSignals::descriptor() const
{
    return stopPipe[0];
}

bool StopSignals::requested()
{
    char number = 0;
    while (stopPipe[0] >= 0 && ::read(stopPipe[0], &number, 1) == 1)
        m_requested = true;
    return m_requested;
}

} // namespace platform
