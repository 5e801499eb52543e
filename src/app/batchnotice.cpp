#include "batchnotice.h"

#include <QWidget>

namespace app {

void notifyBatchEnd(platform::Notifications &notifications, const QWidget *window, int failures, int tasks)
{
    if (window->isActiveWindow())
        return;
    notifications.notify(QStringLiteral("Conversion completed"),
                         QStringLiteral("%1 converted, %2 failed.").arg(tasks - failures).arg(failures));
}

} // namespace app
