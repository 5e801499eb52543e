#pragma once

#include "taskrecord.h"

#include <taskstore.h>

class QTreeWidget;

namespace tasks {

// Copies the parts of row `position` that the selector names into the record.
void ReadTask(const QTreeWidget &list, int position, int selector, ltvItemData &record);
// Copies the texts that the selector names from the record into row `position`.
void WriteTask(QTreeWidget &list, int position, int selector, const ltvItemData &record);

// What the encoder said in the row's own last run, kept when that run failed or was left
// incomplete; it stays with the row and goes with it.
QString TaskLog(const QTreeWidget &list, int position);
void SetTaskLog(QTreeWidget &list, int position, const QString &log);

} // namespace tasks

namespace tasks {

// The rows of the task list as the store a run reads and writes back to.
class TaskListStore final : public TaskStore
{
public:
    explicit TaskListStore(QTreeWidget &list) : m_list(list) {}

    int taskCount() const override;
    ltvItemData task(int row) const override;
    void setStatus(int row, const QString &status) override;
    QString log(int row) const override { return TaskLog(m_list, row); }
    void setLog(int row, const QString &log) override { SetTaskLog(m_list, row, log); }

private:
    QTreeWidget &m_list;
};

} // namespace tasks
