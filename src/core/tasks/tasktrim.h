#pragma once

#include "core/tasks/taskrecord.h"

#include <QString>

#include <optional>

namespace tasks {

// Which of the two typed times a task took.
struct TrimTaken {
    bool start = false;
    bool end = false;
};

// Sets the part of the input a task converts from a typed start and end, as the Output grid's
// Start Time and End Time take them: a time that is no time text, or that would leave nothing
// of the input to convert, keeps the task's own. Updates the start, the end and the span, texts
// and seconds.
TrimTaken applyStartAndEnd(ltvItemData &task, const QString &startText, const QString &endText);

// Why the part of the input the task converts cannot be converted: a run passes its span in whole
// seconds, so a part of half a second or less would go as " -t 0", which converts nothing. Empty
// when it converts something.
std::optional<QString> tooShortToConvert(const ltvItemData &task);

} // namespace tasks
