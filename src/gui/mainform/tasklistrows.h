#pragma once

#include "taskrecord.h"

class QTreeWidget;

namespace tasks {

// Copies the parts of row `position` that the selector names into the record.
void ReadTask(const QTreeWidget &list, int position, int selector, ltvItemData &record);
// Copies the texts that the selector names from the record into row `position`.
void WriteTask(QTreeWidget &list, int position, int selector, const ltvItemData &record);

// What the encoder said in the row's own last run, kept when that run failed or was left
// incomplete; it stays with the row and goes with it.
QString TaskLog(const QTreeWidget &list, int position);
void SetTaskLog(QTreeWidget &list, int position, const QString &log);

} // namespace tasks
