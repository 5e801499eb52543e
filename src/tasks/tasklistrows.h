#pragma once

#include "taskrecord.h"

class QTreeWidget;

namespace tasks {

// Copies the parts of row `position` that the selector names into the record.
void ReadTask(const QTreeWidget &list, int position, int selector, ltvItemData &record);
// Copies the texts that the selector names from the record into row `position`.
void WriteTask(QTreeWidget &list, int position, int selector, const ltvItemData &record);

} // namespace tasks
