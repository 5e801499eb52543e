#pragma once

#include "core/conversion/batchplan.h"

#include <QString>
#include <QStringList>

namespace conversion {

// The completion message of a run that went through all its tasks.
QString completionText(const RunSummary &summary);

// The Status of a task while it converts. One at a time it is "Converting" alone, the bars showing
// its percentage; beside others each task shows its own, as "Converting 42%".
QString convertingStatusText(int jobs, int percent);

// What names the files converting now: their names without folders, in list order, separated by
// commas. While none converts, shown stays, as the last file stays named when one task ends
// before the next begins.
QString convertingFilesText(const QStringList &runningInputs, const QString &shown);

} // namespace conversion
