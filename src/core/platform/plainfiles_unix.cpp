#include "core/platform/plainfiles.h"

#include <climits>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::optional<FileIdentity> fileIdentity(const std::string &path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    const auto nanoseconds = [](const timespec &time) { return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec; };
    return FileIdentity{std::int64_t(status.st_size), nanoseconds(status.st_mtim), nanoseconds(status.st_ctim)};
}

std::string programFolder()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || std::size_t(length) >= sizeof path)
        return {};
    const std::string file(path, std::size_t(length));
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash == 0 ? 1 : slash);
}

bool isExecutableFile(const std::string &path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string findExecutable(const std::string &name)
{
    const char *variable = std::getenv("PATH");
    std::string_view folders = variable ? variable : "";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        // An empty entry is the current folder to a shell; only a named folder counts here.
        if (folder.empty() || folder.front() != '/')
            continue;
        const std::string candidate = std::string(folder) + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return {};
}

} // namespace platform
