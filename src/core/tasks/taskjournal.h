#pragma once

#include "core/tasks/taskrecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace tasks {

// One row of the task list as the journal keeps it.
struct JournalTask {
    ltvItemData task; // texts only: the seconds are derived again when read
    QString log;
    // The file the task's run was writing; only while it converts.
    QString output;
    // Converted by a run that the end of the program cut off: the run of the restored list leaves it out.
    bool convertedEarlier = false;
};

// The task list and the settings of its run, kept on disk while the window is open so that a
// crash, a kill or a power cut does not lose them. The rows stay the one source of truth; the
// journal is read only at the next start.
struct TaskJournal {
    QString profile;
    QString outputFolder;
    QList<JournalTask> tasks;
};

inline constexpr int TaskJournalVersion = 1;

QByteArray encodeTaskJournal(const TaskJournal &journal);
// Refuses, with the reason as part of a sentence, what this version did not write.
std::optional<TaskJournal> decodeTaskJournal(const QByteArray &bytes, QString *problem = nullptr);

// The tasks of the journal a run would still convert: all but the complete ones.
int waitingTaskCount(const TaskJournal &journal);

// What the restored list holds: a task cut off while converting is ready again and the partial
// file its run left is removed; every other task keeps its status and log.
void settleInterruptedTasks(TaskJournal &journal);

} // namespace tasks
