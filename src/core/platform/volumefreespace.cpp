#include "core/platform/freespaceapi.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace platform {
namespace {
class VolumeFreeSpace final : public FreeSpace {
public:
    std::optional<VolumeSpace> spaceOf(const QString &folder) override
    {
        // A folder not made yet goes on the file system of the nearest one that is there.
        QString existing = QFileInfo(folder).absoluteFilePath();
        while (!QFileInfo(existing).isDir() && !QDir(existing).isRoot() && !existing.isEmpty())
            existing = QFileInfo(existing).absolutePath();
        const QStorageInfo storage(existing);
        if (!storage.isValid() || !storage.isReady())
            return std::nullopt;
        const QString root = storage.rootPath();
        return VolumeSpace{storage.bytesAvailable(), root.isEmpty() ? folder : root};
    }
};
} // namespace

FreeSpace &volumeFreeSpace()
{
    static VolumeFreeSpace real;
    return real;
}

} // namespace platform
