#include "core/platform/signalinterruption.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// Ctrl+C, a termination request (logout, shutdown) and a closed terminal or dropped ssh session;
// then the request to finish the current files, the suspend key and the continue after it.
constexpr std::array CaughtSignals{SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGTSTP, SIGCONT};

// A signal handler may do next to nothing: it hands the number to the event loop through a pipe.
int signalPipe[2] = {-1, -1};
struct sigaction previousActions[CaughtSignals.size()];
struct sigaction previousPipeAction;

// A reader of our output that went away (a "| head") must not kill us with our encoders still
// running: the write fails instead and the batch goes on. A handler rather than SIG_IGN, because
// an ignored signal would stay ignored in the programs we start.
void ignoreBrokenPipe(int)
{}

void writeSignalNumber(int signal)
{
    const int saved = errno;
    const char number = char(signal);
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &number, 1);
    errno = saved;
}

} // namespace

SignalInterruption::SignalInterruption(QObject *parent) : Interruption(parent)
{
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalInterruption::readSignals);
    struct sigaction action {};
    action.sa_handler = writeSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t n = 0; n < CaughtSignals.size(); ++n)
        ::sigaction(CaughtSignals[n], &action, &previousActions[n]);
    action.sa_handler = ignoreBrokenPipe;
    ::sigaction(SIGPIPE, &action, &previousPipeAction);
}

SignalInterruption::~SignalInterruption()
{
    if (!m_notifier)
        return;
    for (std::size_t n = 0; n < CaughtSignals.size(); ++n)
        ::sigaction(CaughtSignals[n], &previousActions[n], nullptr);
    ::sigaction(SIGPIPE, &previousPipeAction, nullptr);
    delete m_notifier;
    for (int &end : signalPipe) {
        ::close(end);
        end = -1;
    }
}

void SignalInterruption::readSignals()
{
    char number = 0;
    while (::read(signalPipe[0], &number, 1) == 1) {
        if (number == SIGUSR1)
            emit finishRequested();
        else if (number == SIGTSTP)
            emit suspendRequested();
        else if (number == SIGCONT)
            emit continued();
        else
            emit interrupted(number);
    }
}

} // namespace platform
