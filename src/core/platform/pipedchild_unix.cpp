#include "core/platform/pipedchild.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace {

void closeDescriptor(int &descriptor)
{
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

// Runs between fork and exec: async-signal-safe calls only.
[[noreturn]] void execChild(const char *program, char *const *argv, pid_t parent, int input, int output, int error,
                            int report)
{
    ::dup2(input, STDIN_FILENO);
    ::dup2(output, STDOUT_FILENO);
    ::dup2(error, STDERR_FILENO);
    // Caught signals reset at exec; until then, ours must not reach our parent's handlers' pipe.
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        ::sigaction(signal, &plain, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have died before the death signal was armed.
    if (::getppid() != parent)
        ::_exit(127);
    ::execv(program, argv);
    const int failure = errno;
    [[maybe_unused]] const auto written = ::write(report, &failure, sizeof failure);
    ::_exit(127);
}

} // namespace

PipedChild::~PipedChild()
{
    if (m_pid > 0 && !m_reaped) {
        kill();
        reap(true);
    }
    closeAll();
}

bool PipedChild::start(const std::string &program, const std::vector<std::string> &arguments, std::string *error)
{
    std::array<int, 2> input{-1, -1}, output{-1, -1}, errors{-1, -1}, report{-1, -1};
    if (::pipe2(input.data(), O_CLOEXEC) != 0 || ::pipe2(output.data(), O_CLOEXEC) != 0 ||
        ::pipe2(errors.data(), O_CLOEXEC) != 0 || ::pipe2(report.data(), O_CLOEXEC) != 0) {
        *error = std::strerror(errno);
        for (auto *pipe : {&input, &output, &errors, &report})
            for (int &end : *pipe)
                closeDescriptor(end);
        return false;
    }
    // Everything the child needs is made before the fork: it may not allocate.
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid == 0)
        execChild(program.c_str(), argv.data(), parent, input[0], output[1], errors[1], report[1]);
    const int forkError = errno;
    closeDescriptor(input[0]);
    closeDescriptor(output[1]);
    closeDescriptor(errors[1]);
    closeDescriptor(report[1]);
    m_input = input[1];
    m_output = output[0];
    m_error = errors[0];
    if (pid < 0) {
        closeDescriptor(report[0]);
        closeAll();
        *error = std::strerror(forkError);
        return false;
    }
    m_pid = pid;
    // The report pipe closes at exec; before, a failed exec sends its errno through it.
    int failure = 0;
    ssize_t got = 0;
    do
        got = ::read(report[0], &failure, sizeof failure);
    while (got < 0 && errno == EINTR);
    closeDescriptor(report[0]);
    if (got == sizeof failure) {
        reap(true);
        closeAll();
        *error = std::strerror(failure);
        return false;
    }
    ::fcntl(m_output, F_SETFL, O_NONBLOCK);
    ::fcntl(m_error, F_SETFL, O_NONBLOCK);
    return true;
}

PipedChild::Events PipedChild::wait(int timeoutMs, int watched)
{
    Events events;
    if (m_reaped) {
        events.ended = true;
        return events;
    }
    std::array<pollfd, 3> looks{};
    nfds_t count = 0;
    for (const int descriptor : {m_output, m_error, watched}) {
        if (descriptor >= 0)
            looks[count++] = {descriptor, POLLIN, 0};
    }
    if (m_output >= 0 || m_error >= 0) {
        if (::poll(looks.data(), count, timeoutMs) < 0)
            return events; // a signal: the caller looks again
        for (nfds_t n = 0; n < count; ++n) {
            if (looks[n].revents == 0)
                continue;
            if (looks[n].fd == watched)
                events.watchedReady = true;
            else if (looks[n].fd == m_output)
                drain(m_output, events.output);
            else
                drain(m_error, events.error);
        }
    }
    // With both pipes closed it has ended or is about to; a child that passed them on to one of
    // its own may end before them, and what it wrote is in them already.
    if (reap(m_output < 0 && m_error < 0)) {
        drain(m_output, events.output);
        drain(m_error, events.error);
        closeAll();
        events.ended = true;
    }
    return events;
}

void PipedChild::terminate()
{
    if (m_pid > 0 && !m_reaped)
        ::kill(m_pid, SIGTERM);
}

void PipedChild::kill()
{
    if (m_pid > 0 && !m_reaped)
        ::kill(m_pid, SIGKILL);
}

bool PipedChild::reap(bool block)
{
    if (m_reaped)
        return true;
    int status = 0;
    pid_t reaped = 0;
    do
        reaped = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    while (reaped < 0 && errno == EINTR);
    if (reaped != m_pid)
        return false;
    m_reaped = true;
    m_crashed = !WIFEXITED(status);
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status);
    return true;
}

void PipedChild::drain(int &descriptor, std::string &into)
{
    char buffer[16384];
    while (descriptor >= 0) {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got > 0)
            into.append(buffer, std::size_t(got));
        else if (got < 0 && errno == EINTR)
            continue;
        else if (got < 0 && errno == EAGAIN)
            return;
        else
            closeDescriptor(descriptor); // its end, or a pipe that can no longer be read
    }
}

void PipedChild::closeAll()
{
    closeDescriptor(m_input);
    closeDescriptor(m_output);
    closeDescriptor(m_error);
}

} // namespace platform
