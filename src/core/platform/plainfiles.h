#pragma once

#include <cstdint>
#include <optional>
#include <string>

// File look-ups without Qt, for the encoder, which starts once a file and must start fast.
namespace platform {

// What tells that a file is still the one looked at before: the change time moves on every
// write, rename or replacement, and no program can set it back.
struct FileIdentity {
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // nanoseconds since the epoch
    std::int64_t changedNs = 0;
    bool operator==(const FileIdentity &) const = default;
};

// Empty unless path names a regular file (through links).
std::optional<FileIdentity> fileIdentity(const std::string &path);

// The folder of the running program's file; empty when the system does not say.
std::string programFolder();

// The path of an executable file of this name on PATH, as a shell finds it; empty when none.
std::string findExecutable(const std::string &name);

// Whether path names a regular file this process may run.
bool isExecutableFile(const std::string &path);

} // namespace platform
