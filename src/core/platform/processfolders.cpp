#include "core/platform/processfolders.h"

#include "core/platform/childprocess.h"

#include <QDir>

#include <functional>

namespace platform {
namespace {

void removeFoldersWhere(const QString &prefix, const std::function<bool(qint64 pid)> &condemned)
{
    const QDir temporary(QDir::tempPath());
    for (const QString &name :
         temporary.entryList({prefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        bool numbered = false;
        const qint64 pid = name.mid(prefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&numbered);
        if (numbered && condemned(pid))
            QDir(temporary.filePath(name)).removeRecursively();
    }
}

} // namespace

QString processFolderTemplate(const QString &prefix)
{
    return QDir::tempPath() + QStringLiteral("/%1%2-XXXXXX").arg(prefix).arg(currentProcessId());
}

void removeProcessFolders(const QString &prefix, qint64 pid)
{
    if (pid > 0)
        removeFoldersWhere(prefix, [pid](qint64 folderPid) { return folderPid == pid; });
}

void removeOrphanedProcessFolders(const QString &prefix)
{
    removeFoldersWhere(prefix, [](qint64 pid) { return !processIsRunning(pid); });
}

} // namespace platform
