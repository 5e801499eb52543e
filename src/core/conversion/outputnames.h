#pragma once

#include "core/conversion/batchplan.h"
#include "core/tasks/taskrecord.h"

#include <QString>
#include <QStringList>

namespace conversion {

// Whether two paths name the same file, whatever the spelling (links, "./", "..").
bool sameFile(const QString &a, const QString &b);

// Where task number position (0-based) of a run writes: the plain name in the output directory,
// or the indexed name <name>_<position + 1> when the plain one is the input itself, when this run
// writes it already (namesOfRun: a file the run wrote is never overwritten by a later task), or,
// when renaming, when a file is there or another run is converting to it. The index counts on past
// such names, so nothing of the user's is overwritten that was not meant to be. A task without its
// own extension takes the profile's.
QString outputPathFor(const QString &outputDirectory, const ltvItemData &task, int position,
                      const QString &profileExtension, bool renameExisting, const QStringList &namesOfRun = {});

// Where task row of the plan writes, as outputPathFor says, in the task's own folder below the
// plan's output directory. Its position counts only the earlier tasks of that folder, so each
// folder names its files as a run of its own would and two folders never take each other's names.
QString plannedOutputPath(const BatchPlan &plan, int row, bool renameExisting, const QStringList &namesOfRun = {});

// Whether a conversion that is alive now, of any run, is writing the output.
bool beingConverted(const QString &output);

// Removes the partial file of an output whose encoder was killed, unless a live conversion has
// claimed it since.
void removeLeftPartial(const QString &output);

} // namespace conversion
