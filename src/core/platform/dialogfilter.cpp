#include "core/platform/dialogfilter.h"

#include <QStringList>

namespace platform {

QString qtNameFilters(const QString &windowsFilter)
{
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            // "*.*" would demand a dot in the name here; every file is meant.
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        QString name = parts.at(i);
        const qsizetype open = name.lastIndexOf(QLatin1Char('('));
        if (name.endsWith(QLatin1Char(')')) && open >= 0)
            name.truncate(open);
        else
            name += QLatin1Char(' ');
        filters << name + QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace platform
