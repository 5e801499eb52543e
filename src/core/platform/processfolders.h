#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Temporary folders named after the process that makes them, "<prefix><number>-<unique ending>"
// in the temporary folder, so that one left by a process killed outright can be found.

// The template of this process's folders, its unique ending still "XXXXXX".
std::string processFolderTemplate(const std::string &prefix);

// A folder of this process's, made under the template and removed with all it holds when this
// goes.
class ProcessFolder {
public:
    explicit ProcessFolder(const std::string &prefix);
    ProcessFolder(const ProcessFolder &) = delete;
    ProcessFolder &operator=(const ProcessFolder &) = delete;
    ~ProcessFolder();

    // Empty when it could not be made; error() says why.
    const std::string &path() const { return m_path; }
    const std::string &error() const { return m_error; }

private:
    std::string m_path;
    std::string m_error;
};

// Removes the folders of the process with this number, which has ended.
void removeProcessFolders(const std::string &prefix, std::int64_t pid);

// Removes the folders whose process is gone.
void removeOrphanedProcessFolders(const std::string &prefix);

} // namespace platform
