#include "core/tasks/journalslot.h"

#include "core/platform/pathdelimiter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tasks {
namespace {
// Far more windows than anyone keeps open at once.
constexpr int SlotCount = 32;
// A killed window's children die with it, but a busy machine may take a moment to end them.
constexpr int LeftProcessesPatienceMs = 5000;

QString slotBase(const QString &folder, int slot)
{
    const QString stem = platform::IncludeTrailingBackslash(folder) + QStringLiteral("tasks");
    return slot == 1 ? stem : stem + QLatin1Char('-') + QString::number(slot);
}

bool exists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString cannotWrite(const QString &folder)
{
    return QStringLiteral("the folder \"%1\" cannot be written").arg(QDir::cleanPath(folder));
}
} // namespace

std::unique_ptr<JournalSlot> JournalSlot::claim(const QString &folder, QString *problem)
{
    const auto refuse = [problem](const QString &reason) {
        if (problem)
            *problem = reason;
        return nullptr;
    };
    if (!QDir().mkpath(folder))
        return refuse(cannotWrite(folder));
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const QString base = slotBase(folder, slot);
        auto lock = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
        // A lock is stale only when its process is gone, however old it is.
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            // Held by another window: the next slot may be free. Anything else is the folder's.
            if (lock->error() == QLockFile::LockFailedError)
                continue;
            return refuse(cannotWrite(folder));
        }
        std::unique_ptr<JournalSlot> claimed(new JournalSlot(base, std::move(lock)));
        if (!claimed->takeLifeline())
            continue;
        // Every encoder this window starts holds the slot with it.
        claimed->m_lifeline.passToChildren();
        // Set aside by the start before this one, which was all the keeping it was given.
        QFile::remove(claimed->previousPath());
        return claimed;
    }
    return refuse(QStringLiteral("other windows hold all %1 task lists of the folder \"%2\"")
                      .arg(SlotCount)
                      .arg(QDir::cleanPath(folder)));
}

std::vector<std::unique_ptr<JournalSlot>> JournalSlot::claimLeftBehind(const QString &folder)
{
    std::vector<std::unique_ptr<JournalSlot>> left;
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const QString base = slotBase(folder, slot);
        // Most slots were never used: they cost no lock.
        if (!exists(base + QStringLiteral(".journal")) && !exists(base + QStringLiteral(".previous")))
            continue;
        auto lock = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue;
        std::unique_ptr<JournalSlot> claimed(new JournalSlot(base, std::move(lock)));
        if (!claimed->takeLifeline())
            continue;
        QFile::remove(claimed->previousPath());
        if (claimed->hasJournal())
            left.push_back(std::move(claimed));
    }
    return left;
}

bool JournalSlot::takeLifeline()
{
    return m_lifeline.take(QFile::encodeName(m_base + QStringLiteral(".alive")).toStdString(), LeftProcessesPatienceMs);
}

bool JournalSlot::hasJournal() const
{
    return exists(journalPath());
}

std::optional<QByteArray> JournalSlot::readJournal(QString *problem) const
{
    const QString path = journalPath();
    if (!QFileInfo(path).isFile()) {
        *problem = QStringLiteral("\"%1\" is not a file").arg(path);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("\"%1\" cannot be read (%2)").arg(path, file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

bool JournalSlot::moveJournalTo(const QString &path) const
{
    QFile::remove(path);
    return QFile::rename(journalPath(), path);
}

bool JournalSlot::removeJournal() const
{
    return QFile::remove(journalPath());
}

} // namespace tasks
