#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace tasks {

// The journal one window keeps, in a folder that several windows may share: each holds a slot
// of its own, locked with its process id, and a slot whose process is gone is taken over with
// whatever journal that process left.
class JournalSlot
{
public:
    // The first slot of folder that no running program holds; none when the folder cannot be
    // made or every slot is held.
    static std::unique_ptr<JournalSlot> claim(const QString &folder);

    QString journalPath() const { return m_base + QStringLiteral(".journal"); }
    // Where a journal the user chose not to restore waits, until the next start.
    QString previousPath() const { return m_base + QStringLiteral(".previous"); }
    // Where a journal that could not be read is kept.
    QString unreadablePath() const { return m_base + QStringLiteral(".unreadable"); }

    // Moves the journal to path, over whatever was there.
    bool moveJournalTo(const QString &path) const;

private:
    JournalSlot(const QString &base, std::unique_ptr<QLockFile> lock) : m_base(base), m_lock(std::move(lock)) {}

    QString m_base;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tasks
