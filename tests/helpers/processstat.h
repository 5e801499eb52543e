#pragma once

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

// What /proc tells of a process: its state, group, parent, niceness and scheduling policy.
namespace processstat {

// The fields of a stat file from the state on (field 3), past the command name in parentheses,
// which may hold anything: field n of proc(5) is fields.at(n - 3).
inline QList<QByteArray> statFields(const QString &statPath)
{
    QFile stat(statPath);
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2).trimmed().split(' ');
}

inline QByteArray field(qint64 pid, int number)
{
    return statFields(QStringLiteral("/proc/%1/stat").arg(pid)).value(number - 3);
}

inline char state(qint64 pid)
{
    const QByteArray text = field(pid, 3);
    return text.isEmpty() ? '?' : text.at(0);
}

// The living processes whose field (4: the parent, 5: the group) is value.
inline QList<qint64> processesWith(int number, qint64 value)
{
    QList<qint64> found;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const qint64 pid = entry.toLongLong();
        if (pid > 0 && field(pid, number).toLongLong() == value && state(pid) != 'Z')
            found << pid;
    }
    return found;
}

inline QList<qint64> groupMembers(qint64 group)
{
    return processesWith(5, group);
}

// Field number of every thread of the process.
inline QList<qint64> threadFields(qint64 pid, int number)
{
    QList<qint64> values;
    const QDir threads(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &thread : threads.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        values << statFields(threads.filePath(thread + QStringLiteral("/stat"))).value(number - 3).toLongLong();
    return values;
}

// The signals sent to the process and not taken yet, its own and its threads' together, in hex.
inline QByteArray pendingSignals(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    quint64 pending = 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigPnd:") || line.startsWith("ShdPnd:"))
            pending |= line.mid(7).trimmed().toULongLong(nullptr, 16);
    }
    return QByteArray::number(pending, 16).rightJustified(16, '0');
}

inline constexpr int NiceField = 19;
inline constexpr int PolicyField = 41;
inline constexpr qint64 IdlePolicy = 5; // SCHED_IDLE

} // namespace processstat
