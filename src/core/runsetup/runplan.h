#pragma once

#include "core/conversion/batchplan.h"
#include "core/profiles/parameterstring.h"
#include "core/profiles/profiledata.h"
#include "core/runsetup/runoptions.h"
#include "core/tasks/taskstore.h"

#include <QSet>

namespace runsetup {

// The profile a run converts with, as its grids show it.
struct ProfileChoice {
    profiles::ProfileData profile;
    profiles::ShownValue shownValue;
    // Extensions that profiles chosen before gave to tasks: such a task takes this profile's,
    // so that no output carries another container's name. An extension the user typed stays.
    QSet<QString> earlierExtensions;
};

// The languages of the tracks a run keeps first, ordered codes such as "eng,ger".
struct TrackLanguages {
    QString audio;
    QString subtitle;
};

// The run both faces start: every task of the store in list order with its own track picks, the
// profile's parameters and container, the output folder, the user's options and languages.
conversion::BatchPlan planFor(const QString &encoderPath, const tasks::TaskStore &tasks, const ProfileChoice &choice,
                              const QString &outputFolder, const RunOptions &options, const TrackLanguages &languages);

// The stored number of jobs as this machine runs them: a file from a computer with more cores
// asks for more than this one has.
int usableJobs(int storedJobs);

// Leaves a task's start and end in its store: a new run of a task drops its last log, and an end
// keeps the encoder's words only where they explain the status.
void recordTaskStart(tasks::TaskStore &tasks, int row);
void recordTaskEnd(tasks::TaskStore &tasks, int row, conversion::TaskStatus status, const QString &log);

} // namespace runsetup
