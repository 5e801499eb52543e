#include "tasklistrows.h"

#include <QTreeWidget>

namespace tasks {
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
    for (int sub : {SelectNewName, SelectOutputExt, SelectStart, SelectEnd})
        texts << row->text(columnOf(sub));
    return texts.join(QLatin1Char('\n'));
}
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
