// The task list's rows: which is selected, and moving, removing and clearing them.
#include "gui/mainform/tasklist.h"

#include "core/conversion/mediaprobe.h"
#include "core/conversion/probequeue.h"
#include "core/tasks/journalslot.h"
#include "core/tasks/journalwriter.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/tasklistrows.h"

#include <QTreeWidget>

namespace mainform {
namespace {
bool isSelected(const QTreeWidget &list, int row)
{
    return list.topLevelItem(row)->isSelected();
}
} // namespace

TaskList::TaskList(TMainForm &form, platform::Services &services)
    : QObject(&form)
    , m_form(form)
    , m_services(services)
    , m_probeTimeLimitMs(conversion::ProbeTimeLimitMs)
{}

TaskList::~TaskList() = default;

int TaskList::firstSelectedTask() const
{
    for (int row = 0; row < m_form.ltvTask->topLevelItemCount(); ++row) {
        if (isSelected(*m_form.ltvTask, row))
            return row;
    }
    return -1;
}

QString TaskList::failureLog(int row) const
{
    return TaskLog(*m_form.ltvTask, row);
}

// The whole task moves, its log and its mark of an earlier conversion with it; the selection
// follows it.
void TaskList::exchangeTasks(int from, int to)
{
    QTreeWidget &list = *m_form.ltvTask;
    const tasks::Task moving = taskAt(list, from);
    setTaskAt(list, from, taskAt(list, to));
    setTaskAt(list, to, moving);
    list.topLevelItem(to)->setSelected(true);
    list.topLevelItem(from)->setSelected(false);
}

// A selected row moves past an unselected neighbour only: rows that reach the edge keep their
// place, and the rows behind them stay behind them.
void TaskList::moveSelectedUp()
{
    const QTreeWidget &list = *m_form.ltvTask;
    for (int row = 1; row < list.topLevelItemCount(); ++row) {
        if (isSelected(list, row) && !isSelected(list, row - 1))
            exchangeTasks(row, row - 1);
    }
}

void TaskList::moveSelectedDown()
{
    const QTreeWidget &list = *m_form.ltvTask;
    for (int row = list.topLevelItemCount() - 2; row >= 0; --row) {
        if (isSelected(list, row) && !isSelected(list, row + 1))
            exchangeTasks(row, row + 1);
    }
}

void TaskList::removeSelected()
{
    QTreeWidget &list = *m_form.ltvTask;
    for (int row = list.topLevelItemCount() - 1; row >= 0; --row) {
        if (isSelected(list, row))
            delete list.takeTopLevelItem(row);
    }
}

void TaskList::clear()
{
    QTreeWidget &list = *m_form.ltvTask;
    for (int row = list.topLevelItemCount() - 1; row >= 0; --row)
        delete list.takeTopLevelItem(row);
}

} // namespace mainform
