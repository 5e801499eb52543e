#include "core/tasks/journalwriter.h"

#include "core/platform/atomicsave.h"

#include <QFile>
#include <QMutexLocker>

namespace tasks {

JournalWriter::JournalWriter(const QString &path, Snapshot snapshot, int intervalMs, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_snapshot(std::move(snapshot))
{
    m_throttle.setSingleShot(true);
    m_throttle.setInterval(intervalMs);
    connect(&m_throttle, &QTimer::timeout, this, &JournalWriter::writeSnapshot);
    m_onThread.moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("task journal"));
    m_thread.start(QThread::LowPriority);
}

JournalWriter::~JournalWriter()
{
    m_thread.quit();
    m_thread.wait();
}

void JournalWriter::changed()
{
    if (!m_discarded && !m_throttle.isActive())
        m_throttle.start();
}

void JournalWriter::changedNow()
{
    if (m_discarded)
        return;
    m_throttle.stop();
    writeSnapshot();
}

void JournalWriter::flush()
{
    if (m_discarded)
        return;
    m_throttle.stop();
    TaskJournal journal = m_snapshot();
    {
        QMutexLocker locker(&m_mutex);
        m_pending = std::move(journal);
    }
    QMetaObject::invokeMethod(
        &m_onThread, [this] { writePending(); }, Qt::BlockingQueuedConnection);
}

void JournalWriter::discard()
{
    m_discarded = true;
    m_throttle.stop();
    {
        QMutexLocker locker(&m_mutex);
        m_pending.reset();
    }
    // After any write already queued, so that none can bring the file back.
    QMetaObject::invokeMethod(
        &m_onThread,
        [this] {
            QFile::remove(m_path);
            m_written.clear();
        },
        Qt::BlockingQueuedConnection);
}

QString JournalWriter::lastError() const
{
    QMutexLocker locker(&m_mutex);
    return m_lastError;
}

void JournalWriter::writeSnapshot()
{
    TaskJournal journal = m_snapshot();
    bool queued;
    {
        QMutexLocker locker(&m_mutex);
        // A write still waiting takes the newer list instead of adding another.
        queued = m_pending.has_value();
        m_pending = std::move(journal);
    }
    if (!queued)
        QMetaObject::invokeMethod(
            &m_onThread, [this] { writePending(); }, Qt::QueuedConnection);
}

void JournalWriter::writePending()
{
    std::optional<TaskJournal> journal;
    {
        QMutexLocker locker(&m_mutex);
        journal.swap(m_pending);
    }
    if (!journal)
        return;
    QByteArray bytes = encodeTaskJournal(*journal);
    // A change the journal does not keep (a bar's percentage) costs no write.
    if (bytes == m_written)
        return;
    QString error;
    const bool saved = platform::saveFileAtomically(m_path, bytes, &error);
    if (saved)
        m_written = std::move(bytes);
    {
        QMutexLocker locker(&m_mutex);
        m_lastError = error;
    }
    if (!saved)
        emit writeFailed(error);
}

} // namespace tasks
