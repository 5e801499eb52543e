#include "core/platform/outputclaim.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

// Whether path names the very file open at descriptor.
bool namesOpenFile(const std::string &path, int descriptor)
{
    struct stat named = {};
    struct stat open = {};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(descriptor, &open) == 0 && named.st_dev == open.st_dev &&
           named.st_ino == open.st_ino;
}

// A lock this process can take at once is held by nobody; flock's locks go with their last
// descriptor, and so with their process.
bool lockNow(int descriptor)
{
    int result = 0;
    do
        result = ::flock(descriptor, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

// Opens the file at path, no link followed, without creating it; -1 when there is none.
int openExisting(const std::string &path)
{
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
}

} // namespace

OutputClaim::OutputClaim(OutputClaim &&other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
    , m_path(std::move(other.m_path))
{}

OutputClaim &OutputClaim::operator=(OutputClaim &&other) noexcept
{
    if (this != &other) {
        release();
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

OutputClaim::~OutputClaim()
{
    release();
}

OutputClaim::Outcome OutputClaim::claim(const std::string &path, std::string *error)
{
    release();
    // A file found unlocked may be removed by whoever locked it before us; then the name is free
    // again and the next turn creates it anew.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
        if (descriptor < 0) {
            if (error)
                *error = std::strerror(errno);
            return Outcome::Failed;
        }
        struct stat status = {};
        if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(descriptor);
            if (error)
                *error = "it is not a regular file";
            return Outcome::Failed;
        }
        // Whoever only looks whether the file is held locks it for a moment: a holder is one that
        // keeps it.
        bool locked = lockNow(descriptor);
        for (int look = 0; !locked && look < 5; ++look) {
            ::usleep(10 * 1000);
            locked = lockNow(descriptor);
        }
        if (!locked) {
            ::close(descriptor);
            return Outcome::HeldElsewhere;
        }
        if (namesOpenFile(path, descriptor)) {
            m_descriptor = descriptor;
            m_path = path;
            return Outcome::Claimed;
        }
        ::close(descriptor);
    }
    if (error)
        *error = "the file keeps being replaced";
    return Outcome::Failed;
}

bool OutputClaim::moveInto(const std::string &target, bool replace, std::string *error)
{
    if (!isHeld() || !namesOpenFile(m_path, m_descriptor)) {
        if (error)
            *error = "the partial file '" + m_path + "' was replaced by another program";
        return false;
    }
    const int result = replace ? std::rename(m_path.c_str(), target.c_str())
                               : ::renameat2(AT_FDCWD, m_path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
    if (result != 0) {
        if (error)
            *error = errno == EEXIST ? std::string("another program wrote it meanwhile") : std::strerror(errno);
        return false;
    }
    // In place, the file is the user's: nothing of the claim is left to hold.
    release();
    return true;
}

void OutputClaim::discard()
{
    if (isHeld() && namesOpenFile(m_path, m_descriptor))
        ::unlink(m_path.c_str());
    release();
}

void OutputClaim::release()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
    m_path.clear();
}

bool isClaimedElsewhere(const std::string &path)
{
    const int descriptor = openExisting(path);
    if (descriptor < 0)
        return false;
    const bool held = !lockNow(descriptor);
    ::close(descriptor);
    return held;
}

void removeUnlessClaimed(const std::string &path)
{
    const int descriptor = openExisting(path);
    if (descriptor < 0)
        return;
    // Locked, the file is ours to remove if the name still leads to it.
    if (lockNow(descriptor) && namesOpenFile(path, descriptor))
        ::unlink(path.c_str());
    ::close(descriptor);
}

} // namespace platform
