#include "gui/mainform/tasklistview.h"

#include <QMouseEvent>

namespace mainform {

void TaskListView::mouseReleaseEvent(QMouseEvent *event)
{
    // A press on a row that was already selected changes the selection only on its release.
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit Click();
}

} // namespace mainform
