#include "journalslot.h"

#include <pathdelimiter.h>

#include <QDir>
#include <QFile>

namespace tasks {
namespace {
// Far more windows than anyone keeps open at once.
constexpr int SlotCount = 32;
} // namespace

std::unique_ptr<JournalSlot> JournalSlot::claim(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return nullptr;
    const QString stem = platform::IncludeTrailingBackslash(folder) + QStringLiteral("tasks");
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const QString base = slot == 1 ? stem : stem + QLatin1Char('-') + QString::number(slot);
        auto lock = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
        // A lock is stale only when its process is gone, however old it is.
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue;
        std::unique_ptr<JournalSlot> claimed(new JournalSlot(base, std::move(lock)));
        // Set aside by the start before this one, which was all the keeping it was given.
        QFile::remove(claimed->previousPath());
        return claimed;
    }
    return nullptr;
}

bool JournalSlot::moveJournalTo(const QString &path) const
{
    QFile::remove(path);
    return QFile::rename(journalPath(), path);
}

} // namespace tasks
