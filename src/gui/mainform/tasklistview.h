#pragma once

#include <QTreeWidget>

namespace mainform {

// The task list. A click is any left click in it, on a row or on the empty part below or beside
// the rows, announced once the selection has followed it: the task shown beside the list must
// follow a click that selects nothing as well.
class TaskListView : public QTreeWidget {
    Q_OBJECT

public:
    using QTreeWidget::QTreeWidget;

signals:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace mainform
