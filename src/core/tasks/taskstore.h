#pragma once

#include "core/tasks/task.h"

#include <QList>
#include <QStringList>

namespace tasks {

// The tasks of a list in list order: what a run reads when it starts, and where each task's
// status and log are left as it ends. The window's rows are one store, a run without a window
// keeps its own.
class TaskStore {
public:
    virtual ~TaskStore() = default;

    virtual int taskCount() const = 0;
    virtual ltvItemData task(int row) const = 0;
    // The row's task whole, with its tracks and the user's picks.
    virtual Task wholeTask(int row) const { return Task(task(row)); }
    virtual void setStatus(int row, const QString &status) = 0;
    // What the encoder said in the task's own last run; empty when it has nothing to explain.
    virtual QString log(int row) const = 0;
    virtual void setLog(int row, const QString &log) = 0;
    // Converted by a run that the end of the program cut off: the next run leaves it out.
    virtual bool convertedEarlier(int /*row*/) const { return false; }
};

// Tasks held in memory.
class TaskRecords final : public TaskStore {
public:
    void append(const ltvItemData &record) { m_tasks << Task{record}; }
    void append(const Task &task) { m_tasks << task; }

    int taskCount() const override { return int(m_tasks.size()); }
    ltvItemData task(int row) const override { return m_tasks.value(row).record; }
    Task wholeTask(int row) const override { return m_tasks.value(row); }
    void setStatus(int row, const QString &status) override
    {
        if (row >= 0 && row < m_tasks.size())
            m_tasks[row].record.Status = status;
    }
    QString log(int row) const override { return m_tasks.value(row).log; }
    void setLog(int row, const QString &log) override
    {
        if (row >= 0 && row < m_tasks.size())
            m_tasks[row].log = log;
    }

private:
    QList<Task> m_tasks;
};

} // namespace tasks
