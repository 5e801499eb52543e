#include "tasktrim.h"

#include "timetext.h"

namespace tasks {

TrimTaken applyStartAndEnd(ltvItemData &task, const QString &startText, const QString &endText)
{
    double start = TimeTextToSeconds(startText);
    double end = TimeTextToSeconds(endText);
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

} // namespace tasks
