#pragma once

#include "core/tasks/taskrecord.h"
#include "core/tasks/taskstore.h"

class QTreeWidget;

namespace mainform {

// Copies the parts of row `position` that the selector names into the record.
void ReadTask(const QTreeWidget &list, int position, int selector, ltvItemData &record);
// Copies the texts that the selector names from the record into row `position`.
void WriteTask(QTreeWidget &list, int position, int selector, const ltvItemData &record);

// What the encoder said in the row's own last run, kept when that run failed or was left
// incomplete; it stays with the row and goes with it.
QString TaskLog(const QTreeWidget &list, int position);
void SetTaskLog(QTreeWidget &list, int position, const QString &log);

// The file the row's run is writing, while it converts.
QString TaskOutput(const QTreeWidget &list, int position);
void SetTaskOutput(QTreeWidget &list, int position, const QString &output);

// Whether a run before the program's restart converted the row: the next run leaves it out.
// Setting it holds only while the row's name, times and extension stay as they are then.
bool ConvertedEarlier(const QTreeWidget &list, int position);
void SetConvertedEarlier(QTreeWidget &list, int position, bool converted);

} // namespace mainform

namespace mainform {

// The rows of the task list as the store a run reads and writes back to.
class TaskListStore final : public tasks::TaskStore {
public:
    explicit TaskListStore(QTreeWidget &list) : m_list(list) {}

    int taskCount() const override;
    ltvItemData task(int row) const override;
    void setStatus(int row, const QString &status) override;
    QString log(int row) const override { return TaskLog(m_list, row); }
    void setLog(int row, const QString &log) override { SetTaskLog(m_list, row, log); }
    bool convertedEarlier(int row) const override { return ConvertedEarlier(m_list, row); }

private:
    QTreeWidget &m_list;
};

} // namespace mainform
