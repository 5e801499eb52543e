#pragma once

#include "core/tasks/task.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace tasks {

// The task list and the settings of its run, kept on disk while the window is open so that a
// crash, a kill or a power cut does not lose them. The rows stay the one source of truth; the
// journal is read only at the next start.
struct TaskJournal {
    QString profile;
    QString outputFolder;
    QList<Task> tasks;
};

inline constexpr int TaskJournalVersion = 1;

QByteArray encodeTaskJournal(const TaskJournal &journal);
// Refuses, with the reason as part of a sentence, what this version did not write.
std::optional<TaskJournal> decodeTaskJournal(const QByteArray &bytes, QString *problem = nullptr);

// The tasks of the journal a run would still convert: all but the complete ones.
int waitingTaskCount(const TaskJournal &journal);

// What the restored list holds: a task cut off while converting or paused is ready again and the partial
// file its run left is removed; every other task keeps its status and log.
void settleInterruptedTasks(TaskJournal &journal);

} // namespace tasks
