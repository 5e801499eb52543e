#pragma once

#include <QFile>
#include <QString>

namespace testprocess {

// Whether the process still runs: its state follows the parenthesised command name in
// /proc/<pid>/stat, and a zombie is dead already.
inline bool processAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close > 0 && line.mid(close + 2, 1) != "Z";
}

} // namespace testprocess
