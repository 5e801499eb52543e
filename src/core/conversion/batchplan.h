#pragma once

#include "core/platform/processpriority.h"
#include "core/tasks/taskrecord.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace conversion {

// Everything a batch run needs, fixed when it starts: the run never looks at a window.
struct BatchPlan {
    QString encoderPath;
    QList<ltvItemData> tasks; // in list order; a task's position is its row
    QString parameters;       // empty or beginning with a blank
    QString outputDirectory;
    // By row, the folder below outputDirectory that a task's output goes to, relative ("a/b"),
    // made when its first file goes there. A row without one writes into outputDirectory itself,
    // as every row of the window's runs does.
    QStringList outputSubfolders;
    // By row, the switches of the task's own (conversion::taskOptions): its track picks and what its
    // probe found.
    QStringList taskOptions;
    QString profileExtension;
    // Rows converted before this run, by a run the end of the program cut off or by an earlier
    // run whose files are there: this run leaves them out and keeps their status, and its other
    // rows name their files around theirs.
    QSet<int> convertedEarlier;
    bool renameExisting = false;
    // How many tasks convert at once; values below 1 count as 1. Tasks still start in list order.
    int jobs = 1;
    // A conversion whose encoder reports no further position and whose output does not grow for
    // this long is stopped and fails: a hang on a damaged file or a dead network mount must not
    // hold the batch.
    int stallLimitMs = 5 * 60 * 1000;
    // Given to every encoder and its FFmpeg as they start.
    platform::ProcessPriority priority = platform::ProcessPriority::Normal;
    // How often the room left for the outputs is looked at while converting.
    int spaceCheckMs = 5 * 1000;
    // What a run short of room does: pause, and with resumeWhenSpaceReturns go on by itself
    // once there is room again; or fail the tasks left, as a run nobody watches may.
    bool resumeWhenSpaceReturns = false;
    bool failOnLowSpace = false;
};

enum class RunState { Idle = 0, Converting = 1, StopRequested = 2, Paused = 3 };

enum class TaskStatus { Complete, Incomplete, Failed, Stopped };

// The text a task's Status takes.
QString statusText(TaskStatus status);

// Whether what the encoder said is worth showing the user: it tells why a file failed or is
// incomplete, while a complete or stopped task has nothing to explain.
inline bool explainsStatus(TaskStatus status)
{
    return status == TaskStatus::Failed || status == TaskStatus::Incomplete;
}

// FinishedCurrent: the user asked for the end after the files converting then; the rest are
// left for another run.
enum class RunEnd { Completed, Cancelled, StartFailed, FinishedCurrent };

struct RunSummary {
    RunEnd end = RunEnd::Completed;
    int tasks = 0;
    int failed = 0;
    int incomplete = 0;
    QString reason; // why the encoder could not be started
};

} // namespace conversion
