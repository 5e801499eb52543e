#pragma once

#include "core/tasks/taskjournal.h"

#include <QMutex>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <functional>
#include <optional>

namespace tasks {

// Keeps the journal at path up to date with the list the snapshot reads. A change is written at
// most once per interval; the snapshot is taken on the caller's thread, the encoding and the
// write on a thread of the writer's own, so an edit of a long list never waits for the disk.
class JournalWriter : public QObject {
    Q_OBJECT

public:
    using Snapshot = std::function<TaskJournal()>;

    JournalWriter(const QString &path, Snapshot snapshot, int intervalMs = 300, QObject *parent = nullptr);
    // Waits for the write in progress; a change not yet written is lost, as in a crash.
    ~JournalWriter() override;

    // The list changed: it is written within one interval.
    void changed();
    // The list changed in a way worth keeping at once (a task began or ended).
    void changedNow();
    // Writes the list as it is now and returns when it is on disk.
    void flush();
    // The program ends as the user asked: the journal goes, and nothing is written after.
    void discard();

    // Why the last write failed; empty after a write that worked.
    QString lastError() const;

signals:
    // A write failed (a full disk, a folder made read-only); emitted on the writer's thread, for
    // every failed write.
    void writeFailed(const QString &reason);

private:
    void writeSnapshot();
    void writePending();

    QString m_path;
    Snapshot m_snapshot;
    QTimer m_throttle;
    QThread m_thread;
    QObject m_onThread; // lives on m_thread: what is invoked on it runs there, in order
    mutable QMutex m_mutex;
    std::optional<TaskJournal> m_pending;
    QString m_lastError;
    QByteArray m_written; // on m_thread only: what the file holds
    bool m_discarded = false;
};

} // namespace tasks
