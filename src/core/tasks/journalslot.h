#pragma once

#include "core/platform/lifeline.h"

#include <QByteArray>
#include <QLockFile>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace tasks {

// The journal one window keeps, in a folder that several windows may share: each holds a slot
// of its own, locked with its process id, and a slot whose process is gone is taken over with
// whatever journal that process left, once the encoders that process started are gone too: until
// then their partial files are theirs.
class JournalSlot {
public:
    // The first slot of folder that no running program holds; none, with the reason as part of a
    // sentence in problem, when the folder cannot be written or every slot is held.
    static std::unique_ptr<JournalSlot> claim(const QString &folder, QString *problem = nullptr);
    // The other slots of folder that no running program holds and whose program left a journal:
    // the lists of windows that died beside the one that claimed its own.
    static std::vector<std::unique_ptr<JournalSlot>> claimLeftBehind(const QString &folder);

    QString journalPath() const { return m_base + QStringLiteral(".journal"); }
    // Where a journal the user chose not to restore waits, until the next start.
    QString previousPath() const { return m_base + QStringLiteral(".previous"); }
    // Where a journal that could not be read is kept.
    QString unreadablePath() const { return m_base + QStringLiteral(".unreadable"); }

    // Whether anything, even a dangling link, lies at the journal's path.
    bool hasJournal() const;
    // The journal's bytes; none, with the reason as part of a sentence, when it cannot be read.
    // Only a regular file is opened: a named pipe would hold the reader forever.
    std::optional<QByteArray> readJournal(QString *problem) const;
    // Moves the journal to path, over whatever was there.
    bool moveJournalTo(const QString &path) const;
    bool removeJournal() const;

private:
    JournalSlot(const QString &base, std::unique_ptr<QLockFile> lock) : m_base(base), m_lock(std::move(lock)) {}

    // Taken, or false when the processes of the slot's last window outlived the wait.
    bool takeLifeline();

    QString m_base;
    std::unique_ptr<QLockFile> m_lock;
    platform::Lifeline m_lifeline;
};

} // namespace tasks
