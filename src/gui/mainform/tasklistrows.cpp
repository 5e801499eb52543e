#include "tasklistrows.h"

#include <QTreeWidget>

namespace tasks {
namespace {
constexpr int TaskLogRole = Qt::UserRole + 1;
} // namespace

void ReadTask(const QTreeWidget &list, int position, int selector, ltvItemData &record)
{
    const QTreeWidgetItem *row = list.topLevelItem(position);
    if (!row)
        return;
    if (selectsCaption(selector))
        record.InputFile = row->text(0);
    for (int sub = 0; sub < SubItemCount; ++sub) {
        if (selectsSubItem(selector, sub))
            record.*subItemField(sub) = row->text(columnOf(sub));
    }
    deriveSeconds(record, selector);
}

void WriteTask(QTreeWidget &list, int position, int selector, const ltvItemData &record)
{
    QTreeWidgetItem *row = list.topLevelItem(position);
    if (!row)
        return;
    if (selectsCaption(selector))
        row->setText(0, record.InputFile);
    for (int sub = 0; sub < SubItemCount; ++sub) {
        if (selectsSubItem(selector, sub))
            row->setText(columnOf(sub), record.*subItemField(sub));
    }
}

QString TaskLog(const QTreeWidget &list, int position)
{
    const QTreeWidgetItem *row = list.topLevelItem(position);
    return row ? row->data(0, TaskLogRole).toString() : QString();
}

void SetTaskLog(QTreeWidget &list, int position, const QString &log)
{
    if (QTreeWidgetItem *row = list.topLevelItem(position))
        row->setData(0, TaskLogRole, log.isEmpty() ? QVariant() : QVariant(log));
}

} // namespace tasks

namespace tasks {

int TaskListStore::taskCount() const
{
    return m_list.topLevelItemCount();
}

ltvItemData TaskListStore::task(int row) const
{
    ltvItemData record;
    ReadTask(m_list, row, SelectWholeRow, record);
    return record;
}

void TaskListStore::setStatus(int row, const QString &status)
{
    ltvItemData record;
    record.Status = status;
    WriteTask(m_list, row, SelectStatus, record);
}

} // namespace tasks
