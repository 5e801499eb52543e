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
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList paths = QString::fromUtf8(list.readAll()).split(lineEnd);
    paths.removeAll(QString());
    return paths;
}

} // namespace app
