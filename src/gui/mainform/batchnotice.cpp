#include "gui/mainform/batchnotice.h"

#include <QWidget>

namespace mainform {

void notifyBatchEnd(platform::Notifications &notifications, const QWidget *window,
                    const conversion::RunSummary &summary)
{
    if (window->isActiveWindow())
        return;
    const int converted = summary.tasks - summary.failed - summary.incomplete;
    QString body = QStringLiteral("%1 converted, %2 failed").arg(converted).arg(summary.failed);
    if (summary.incomplete > 0)
        body += QStringLiteral(", %1 incomplete").arg(summary.incomplete);
    notifications.notify(QStringLiteral("Conversion completed"), body + QLatin1Char('.'));
}

} // namespace mainform
