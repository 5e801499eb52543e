#pragma once

#include <QString>

#include <optional>

namespace platform {

// The room left on the file system that holds a folder.
struct VolumeSpace {
    qint64 freeBytes = 0;
    QString place; // its mount point, or the folder when that is not known
};

class FreeSpace {
public:
    virtual ~FreeSpace() = default;
    // Nothing for a folder whose file system cannot be looked at; a run then goes on as before.
    virtual std::optional<VolumeSpace> spaceOf(const QString &folder) = 0;
};

// The real file systems.
FreeSpace &volumeFreeSpace();

} // namespace platform
