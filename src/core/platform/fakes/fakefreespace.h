#pragma once

#include "core/platform/freespaceapi.h"

#include <QHash>

namespace platform {

// Plenty of room everywhere unless a test says otherwise for a folder.
class FakeFreeSpace final : public FreeSpace {
public:
    std::optional<VolumeSpace> spaceOf(const QString &folder) override
    {
        asked << folder;
        return VolumeSpace{freeBytes.value(folder, fallback), folder};
    }
    QHash<QString, qint64> freeBytes;
    qint64 fallback = qint64(1) << 50;
    QStringList asked;
};

} // namespace platform
