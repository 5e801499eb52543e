#include "core/tasks/tasktrim.h"

#include "core/tasks/rtlnumbers.h"
#include "core/tasks/timetext.h"

#include <cmath>

namespace tasks {
namespace {

// A time the task can hold is one its time text shows and reads back: far beyond any input,
// the hours no longer read back, and the span would be the malformed -1.
double typedTime(const QString &text)
{
    const double seconds = TimeTextToSeconds(text);
    if (seconds == -1)
        return -1;
    const double readBack = TimeTextToSeconds(SecondsToTimeText(seconds));
    return readBack != -1 && std::abs(readBack - seconds) < 0.051 ? seconds : -1; // tenths are rounded
}

} // namespace

TrimTaken applyStartAndEnd(ltvItemData &task, const QString &startText, const QString &endText)
{
    double start = typedTime(startText);
    double end = typedTime(endText);
    TrimTaken taken{start != -1, end != -1};
    if (!taken.start)
        start = task.StartSec;
    if (!taken.end)
        end = task.EndSec;
    // The start is weighed against the typed end, the end against the start as taken.
    if (start < 0 || start >= end || start >= task.SourceEndSec) {
        start = task.StartSec;
        taken.start = false;
    }
    if (end <= 0 || end <= start || end <= task.SourceStartSec) {
        end = task.EndSec;
        taken.end = false;
    }
    task.StartText = SecondsToTimeText(start);
    task.EndText = SecondsToTimeText(end);
    task.SpanText = SecondsToTimeText(end - start);
    for (int selector : {SelectStart, SelectEnd, SelectSpan})
        deriveSeconds(task, selector);
    return taken;
}

std::optional<QString> tooShortToConvert(const ltvItemData &task)
{
    // A span that is the whole input is not passed at all.
    if (task.SpanSec == task.LengthSec || roundHalfEven(task.SpanSec) != 0)
        return std::nullopt;
    return QStringLiteral(
               "The part of \"%1\" from %2 to %3 is too short to convert: it must last more than half a second.")
        .arg(task.InputFile, task.StartText, task.EndText);
}

} // namespace tasks
