#pragma once

#include "core/conversion/batchplan.h"
#include "core/platform/childprocessapi.h"
#include "core/tasks/taskrecord.h"

#include <QString>

#include <optional>
#include <string_view>

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

// What the encoder's exit and the file it left at output say of a conversion.
TaskStatus taskVerdict(platform::ProcessExit exit, const QString &output);

// The completion message of a run that went through all its tasks.
QString completionText(const RunSummary &summary);

// " -ss start" when the task starts later than its input, then " -t span" when it converts less
// than the whole input.
QString trimOptions(const ltvItemData &task);

// The encoder's position in seconds, read from the text after the first "time" and one more
// character, up to the next blank; nothing when the text holds no such number.
std::optional<double> reportedPosition(std::string_view line);

struct ProgressBars {
    int current = 0;
    int total = 0;
};

// Percentages of the current task and of the whole run, kept within 0..100; a span of 0 leaves
// its bar as it was.
ProgressBars progressFor(double largestPosition, double currentSpan, double doneSpan, double totalSpan,
                         ProgressBars previous);

// The Status of a task while it converts. One at a time it is "Converting" alone, the bars showing
// its percentage; beside others each task shows its own, as "Converting 42%".
QString convertingStatusText(int jobs, int percent);

// What names the files converting now: their names without folders, in list order, separated by
// commas. While none converts, shown stays, as the last file stays named when one task ends
// before the next begins.
QString convertingFilesText(const QStringList &runningInputs, const QString &shown);

// The seconds still to go when `elapsed` seconds gave `percent` of the run; unchanged at 0 %.
int remainingSeconds(int elapsed, int percent, int previous);

} // namespace conversion
