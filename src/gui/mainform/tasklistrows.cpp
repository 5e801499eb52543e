#include "gui/mainform/tasklistrows.h"

#include <QTreeWidget>

namespace mainform {
namespace {

// The record text a column shows: the caption, then sub-items 0 to 9.
QString ltvItemData::*columnField(int column)
{
    if (column == 0)
        return &ltvItemData::InputFile;
    if (column >= tasks::columnOf(0) && column < tasks::columnOf(tasks::SubItemCount))
        return tasks::subItemField(column - tasks::columnOf(0));
    return nullptr;
}

bool isText(int role)
{
    return role == Qt::DisplayRole || role == Qt::EditRole;
}

TaskRow *rowAt(const QTreeWidget &list, int position)
{
    return dynamic_cast<TaskRow *>(list.topLevelItem(position));
}

} // namespace

TaskRow::TaskRow(tasks::Task task) : m_task(std::move(task))
{
    tasks::deriveSeconds(m_task.record, tasks::SelectWholeRow);
    // A change is announced for the columns an item holds data in, and the view repaints those:
    // the texts live in the task, so without this the row would hold none and a new status
    // would show only when something else repainted the list.
    QTreeWidgetItem::setData(tasks::columnOf(tasks::SubItemCount) - 1, Qt::UserRole, QVariant());
}

void TaskRow::setTask(tasks::Task task)
{
    tasks::deriveSeconds(task.record, tasks::SelectWholeRow);
    if (task == m_task)
        return;
    m_task = std::move(task);
    emitDataChanged();
}

QVariant TaskRow::data(int column, int role) const
{
    if (QString ltvItemData::*field = columnField(column); field && isText(role))
        return m_task.record.*field;
    return QTreeWidgetItem::data(column, role);
}

void TaskRow::setData(int column, int role, const QVariant &value)
{
    QString ltvItemData::*field = columnField(column);
    if (!field || !isText(role))
        return QTreeWidgetItem::setData(column, role, value);
    tasks::Task task = m_task;
    task.record.*field = value.toString();
    setTask(std::move(task));
}

QTreeWidgetItem *TaskRow::clone() const
{
    return new TaskRow(*this);
}

tasks::Task taskAt(const QTreeWidget &list, int position)
{
    const TaskRow *row = rowAt(list, position);
    return row ? row->task() : tasks::Task();
}

void setTaskAt(QTreeWidget &list, int position, tasks::Task task)
{
    if (TaskRow *row = rowAt(list, position))
        row->setTask(std::move(task));
}

void ReadTask(const QTreeWidget &list, int position, int selector, ltvItemData &record)
{
    if (const TaskRow *row = rowAt(list, position)) {
        tasks::copyTexts(row->task().record, record, selector);
        tasks::deriveSeconds(record, selector);
    }
}

void WriteTask(QTreeWidget &list, int position, int selector, const ltvItemData &record)
{
    if (TaskRow *row = rowAt(list, position)) {
        tasks::Task task = row->task();
        tasks::copyTexts(record, task.record, selector);
        row->setTask(std::move(task));
    }
}

QString TaskLog(const QTreeWidget &list, int position)
{
    return taskAt(list, position).log;
}

void SetTaskLog(QTreeWidget &list, int position, const QString &log)
{
    tasks::Task task = taskAt(list, position);
    task.log = log;
    setTaskAt(list, position, std::move(task));
}

QString TaskOutput(const QTreeWidget &list, int position)
{
    return taskAt(list, position).output;
}

void SetTaskOutput(QTreeWidget &list, int position, const QString &output)
{
    tasks::Task task = taskAt(list, position);
    task.output = output;
    setTaskAt(list, position, std::move(task));
}

bool ConvertedEarlier(const QTreeWidget &list, int position)
{
    return taskAt(list, position).convertedEarlier();
}

void SetConvertedEarlier(QTreeWidget &list, int position, bool converted)
{
    tasks::Task task = taskAt(list, position);
    task.setConvertedEarlier(converted);
    setTaskAt(list, position, std::move(task));
}

int TaskListStore::taskCount() const
{
    return m_list.topLevelItemCount();
}

ltvItemData TaskListStore::task(int row) const
{
    return taskAt(m_list, row).record;
}

void TaskListStore::setStatus(int row, const QString &status)
{
    ltvItemData record;
    record.Status = status;
    WriteTask(m_list, row, tasks::SelectStatus, record);
}

} // namespace mainform
