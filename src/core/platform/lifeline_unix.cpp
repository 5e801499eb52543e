#include "core/platform/lifeline.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {
namespace {

// Lock-free, so that a child may read it between fork and exec.
std::atomic<int> passedOn{-1};

} // namespace

Lifeline::~Lifeline()
{
    int mine = m_descriptor;
    passedOn.compare_exchange_strong(mine, -1);
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

bool Lifeline::take(const std::string &path, int patienceMs)
{
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (descriptor < 0)
        return true;
    // Polled rather than blocking, so that the wait has an end; the holders are dying already.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMs);
    for (;;) {
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
            m_descriptor = descriptor;
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(descriptor);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        ::usleep(10 * 1000);
    }
    ::close(descriptor);
    return false;
}

void Lifeline::passToChildren()
{
    if (m_descriptor >= 0)
        passedOn = m_descriptor;
}

int lifelineForChildren()
{
    return passedOn.load();
}

} // namespace platform
