#include "core/tasks/startupinputs.h"

#include "core/tasks/inputfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace tasks {

namespace {
// A restored list may be converted from another working folder.
QStringList absolutePaths(QStringList paths)
{
    for (QString &path : paths) {
        // An empty argument names nothing, not the working folder.
        if (!path.isEmpty())
            path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    }
    return paths;
}
} // namespace

QStringList startupInputPaths(const QStringList &arguments)
{
    if (arguments.isEmpty() ||
        tasks::asciiLower(tasks::ExtractFileExt(arguments.constFirst())) != QLatin1String(".tmp"))
        return absolutePaths(arguments);
    QFile list(arguments.constFirst());
    if (!list.open(QIODevice::ReadOnly))
        return {};
    // A list of paths is small; a bigger "list" (a link to a device, a renamed video) would be
    // read until memory runs out, so it counts as one that cannot be read.
    constexpr qint64 MaxListBytes = 16 << 20;
    const QByteArray content = list.read(MaxListBytes + 1);
    if (content.size() > MaxListBytes)
        return {};
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList paths = QString::fromUtf8(content).split(lineEnd);
    paths.removeAll(QString());
    return absolutePaths(paths);
}

} // namespace tasks
