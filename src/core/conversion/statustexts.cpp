#include "core/conversion/statustexts.h"

#include "core/tasks/taskrecord.h"

#include <QFileInfo>

namespace conversion {

QString completionText(const RunSummary &summary)
{
    if (summary.failed == 0 && summary.incomplete == 0)
        return QStringLiteral("The coversion is completed successfully.");
    const auto files = [](int count) { return count == 1 ? QStringLiteral("file") : QStringLiteral("files"); };
    const auto incomplete = [](int count) {
        return QStringLiteral("%1 %2 incomplete")
            .arg(count)
            .arg(count == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    };
    QString what;
    if (summary.failed > 0) {
        what = QStringLiteral("%1 of %2 %3 failed").arg(summary.failed).arg(summary.tasks).arg(files(summary.tasks));
        if (summary.incomplete > 0)
            what += QStringLiteral(" and ") + incomplete(summary.incomplete);
    } else {
        what = QStringLiteral("%1 of %2 %3").arg(summary.incomplete).arg(summary.tasks).arg(files(summary.tasks)) +
               QLatin1Char(' ') + incomplete(summary.incomplete).section(QLatin1Char(' '), 1);
    }
    return QStringLiteral("The conversion is completed, but %1. Choose \"Show Log\" on such a file to read why.")
        .arg(what);
}

QString convertingStatusText(int jobs, int percent)
{
    return jobs > 1 ? tasks::ConvertingStatus + QStringLiteral(" %1%").arg(percent) : tasks::ConvertingStatus;
}

QString convertingFilesText(const QStringList &runningInputs, const QString &shown)
{
    if (runningInputs.isEmpty())
        return shown;
    QStringList names;
    for (const QString &input : runningInputs)
        names << QFileInfo(input).fileName();
    return names.join(QStringLiteral(", "));
}

} // namespace conversion
