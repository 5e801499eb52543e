#pragma once

#include "core/tasks/task.h"
#include "core/tasks/taskstore.h"

#include <QTreeWidgetItem>

class QTreeWidget;

namespace mainform {

// A row of the task list. It holds its task whole; its columns show the task's texts, the caption
// and then sub-items 0 to 9, and a text set on a column goes into the task.
class TaskRow final : public QTreeWidgetItem {
public:
    explicit TaskRow(tasks::Task task = {});

    const tasks::Task &task() const { return m_task; }
    void setTask(tasks::Task task);

    QVariant data(int column, int role) const override;
    void setData(int column, int role, const QVariant &value) override;
    QTreeWidgetItem *clone() const override;

private:
    tasks::Task m_task;
};

// The task of row `position`; a new one past the end of the list.
tasks::Task taskAt(const QTreeWidget &list, int position);
void setTaskAt(QTreeWidget &list, int position, tasks::Task task);

// Copies the parts of row `position` that the selector names into the record.
void ReadTask(const QTreeWidget &list, int position, int selector, ltvItemData &record);
// Copies the texts that the selector names from the record into row `position`.
void WriteTask(QTreeWidget &list, int position, int selector, const ltvItemData &record);

// The parts of a row's task that a run and the list change one at a time.
QString TaskLog(const QTreeWidget &list, int position);
void SetTaskLog(QTreeWidget &list, int position, const QString &log);
QString TaskOutput(const QTreeWidget &list, int position);
void SetTaskOutput(QTreeWidget &list, int position, const QString &output);
bool ConvertedEarlier(const QTreeWidget &list, int position);
void SetConvertedEarlier(QTreeWidget &list, int position, bool converted);

// The rows of the task list as the store a run reads and writes back to.
class TaskListStore final : public tasks::TaskStore {
public:
    explicit TaskListStore(QTreeWidget &list) : m_list(list) {}

    int taskCount() const override;
    ltvItemData task(int row) const override;
    tasks::Task wholeTask(int row) const override { return taskAt(m_list, row); }
    void setStatus(int row, const QString &status) override;
    QString log(int row) const override { return TaskLog(m_list, row); }
    void setLog(int row, const QString &log) override { SetTaskLog(m_list, row, log); }
    bool convertedEarlier(int row) const override { return ConvertedEarlier(m_list, row); }

private:
    QTreeWidget &m_list;
};

} // namespace mainform
