#include "startupinputs.h"

#include <inputfiles.h>

#include <QFile>
#include <QRegularExpression>

namespace app {

QStringList startupInputPaths(const QStringList &arguments)
{
    if (arguments.isEmpty() || tasks::asciiLower(tasks::ExtractFileExt(arguments.constFirst())) != QLatin1String(".tmp"))
        return arguments;
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
    return paths;
}

} // namespace app
