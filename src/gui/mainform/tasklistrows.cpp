#include "gui/mainform/tasklistrows.h"

#include <QTreeWidget>

namespace mainform {

namespace {
constexpr int TaskLogRole = Qt::UserRole + 1;
constexpr int TaskOutputRole = Qt::UserRole + 2;
constexpr int ConvertedEarlierRole = Qt::UserRole + 3;

QVariant rowData(const QTreeWidget &list, int position, int role)
{
    const QTreeWidgetItem *row = list.topLevelItem(position);
    return row ? row->data(0, role) : QVariant();
}

void setRowData(QTreeWidget &list, int position, int role, const QVariant &value)
{
    if (QTreeWidgetItem *row = list.topLevelItem(position))
        row->setData(0, role, value);
}

// The row's texts that decide its output file; the run's settings decide the rest.
QString outputTexts(const QTreeWidget &list, int position)
{
    const QTreeWidgetItem *row = list.topLevelItem(position);
    if (!row)
        return {};
    QStringList texts;
    for (int sub : {tasks::SelectNewName, tasks::SelectOutputExt, tasks::SelectStart, tasks::SelectEnd})
        texts << row->text(tasks::columnOf(sub));
    return texts.join(QLatin1Char('\n'));
}
} // namespace

void ReadTask(const QTreeWidget &list, int position, int selector, ltvItemData &record)
{
    const QTreeWidgetItem *row = list.topLevelItem(position);
    if (!row)
        return;
    if (tasks::selectsCaption(selector))
        record.InputFile = row->text(0);
    for (int sub = 0; sub < tasks::SubItemCount; ++sub) {
        if (tasks::selectsSubItem(selector, sub))
            record.*tasks::subItemField(sub) = row->text(tasks::columnOf(sub));
    }
    tasks::deriveSeconds(record, selector);
}

void WriteTask(QTreeWidget &list, int position, int selector, const ltvItemData &record)
{
    QTreeWidgetItem *row = list.topLevelItem(position);
    if (!row)
        return;
    if (tasks::selectsCaption(selector))
        row->setText(0, record.InputFile);
    for (int sub = 0; sub < tasks::SubItemCount; ++sub) {
        if (tasks::selectsSubItem(selector, sub))
            row->setText(tasks::columnOf(sub), record.*tasks::subItemField(sub));
    }
}

QString TaskLog(const QTreeWidget &list, int position)
{
    return rowData(list, position, TaskLogRole).toString();
}

void SetTaskLog(QTreeWidget &list, int position, const QString &log)
{
    setRowData(list, position, TaskLogRole, log.isEmpty() ? QVariant() : QVariant(log));
}

QString TaskOutput(const QTreeWidget &list, int position)
{
    return rowData(list, position, TaskOutputRole).toString();
}

void SetTaskOutput(QTreeWidget &list, int position, const QString &output)
{
    setRowData(list, position, TaskOutputRole, output.isEmpty() ? QVariant() : QVariant(output));
}

// The mark is the output texts the row had when it was set: a row edited since then is a task
// like any other, whichever edit changed it.
bool ConvertedEarlier(const QTreeWidget &list, int position)
{
    const QVariant mark = rowData(list, position, ConvertedEarlierRole);
    return mark.isValid() && mark.toString() == outputTexts(list, position);
}

void SetConvertedEarlier(QTreeWidget &list, int position, bool converted)
{
    setRowData(list, position, ConvertedEarlierRole, converted ? QVariant(outputTexts(list, position)) : QVariant());
}

int TaskListStore::taskCount() const
{
    return m_list.topLevelItemCount();
}

ltvItemData TaskListStore::task(int row) const
{
    ltvItemData record;
    ReadTask(m_list, row, tasks::SelectWholeRow, record);
    return record;
}

void TaskListStore::setStatus(int row, const QString &status)
{
    ltvItemData record;
    record.Status = status;
    WriteTask(m_list, row, tasks::SelectStatus, record);
}

} // namespace mainform
