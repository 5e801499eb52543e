#include "core/platform/processfolders.h"

#include "core/platform/processsignals.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

namespace platform {
namespace {

std::filesystem::path temporaryFolder()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return error ? std::filesystem::path("/tmp") : folder;
}

void removeFoldersWhere(const std::string &prefix, const std::function<bool(std::int64_t pid)> &condemned)
{
    // Gathered first: a folder is not removed from under the listing that found it.
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(temporaryFolder(), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::error_code ignored;
        if (name.compare(0, prefix.size(), prefix) != 0 || !entry->is_directory(ignored))
            continue;
        const char *first = name.data() + prefix.size();
        const char *last = name.data() + name.size();
        std::int64_t pid = 0;
        const auto [stop, failure] = std::from_chars(first, last, pid);
        if (failure == std::errc() && stop != first && (stop == last || *stop == '-') && condemned(pid))
            found.push_back(entry->path());
    }
    for (const auto &folder : found)
        std::filesystem::remove_all(folder, error);
}

} // namespace

std::string processFolderTemplate(const std::string &prefix)
{
    return (temporaryFolder() / (prefix + std::to_string(currentProcessId()) + "-XXXXXX")).string();
}

ProcessFolder::ProcessFolder(const std::string &prefix)
{
    std::string name = processFolderTemplate(prefix);
    if (::mkdtemp(name.data()))
        m_path = name;
    else
        m_error = std::strerror(errno);
}

ProcessFolder::~ProcessFolder()
{
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}

void removeProcessFolders(const std::string &prefix, std::int64_t pid)
{
    if (pid > 0)
        removeFoldersWhere(prefix, [pid](std::int64_t folderPid) { return folderPid == pid; });
}

void removeOrphanedProcessFolders(const std::string &prefix)
{
    removeFoldersWhere(prefix, [](std::int64_t pid) { return !processIsRunning(pid); });
}

} // namespace platform
