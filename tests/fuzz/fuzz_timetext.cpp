// Time texts as the probe reports them and as users type them into the Output grid.
#include "core/conversion/encodercommand.h"
#include "core/tasks/taskrecord.h"
#include "core/tasks/timetext.h"
#include "fuzz/fuzzinput.h"

#include <cmath>
#include <cstring>

namespace {

double secondsOf(const QString &text)
{
    const double seconds = tasks::TimeTextToSeconds(text);
    fuzz::check(seconds == -1 || std::isfinite(seconds), "a time text reads as seconds or as -1");
    return seconds;
}

// Whole seconds as a time text hold and read back, to the tenth.
void checkRoundTrip(double seconds)
{
    const QString text = tasks::SecondsToTimeText(seconds);
    if (!(seconds >= 0 && seconds < 1e9))
        return;
    const double back = tasks::TimeTextToSeconds(text);
    fuzz::check(std::fabs(back - seconds) <= 0.05 + 1e-9 * seconds, "a time text reads back its seconds");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzz::bytesOf(data, size);

    // Any eight bytes are a number of seconds some caller might pass, NaN and infinities too.
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        checkRoundTrip(raw);
    }

    // Lines: the probed length, then a start and an end as typed into the Output grid.
    const QList<QByteArray> lines = input.split('\n');
    for (const QByteArray &line : lines)
        checkRoundTrip(secondsOf(QString::fromUtf8(line)));

    ltvItemData task;
    task.LengthText = QString::fromUtf8(lines.value(0));
    task.SpanText = task.LengthText;
    task.SourceStartText = tasks::ZeroTimeText;
    task.StartText = tasks::ZeroTimeText;
    task.SourceEndText = task.LengthText;
    task.EndText = task.LengthText;
    tasks::deriveSeconds(task, tasks::SelectWholeRow);

    double start = secondsOf(QString::fromUtf8(lines.value(1)));
    double end = secondsOf(QString::fromUtf8(lines.value(2)));
    if (start == -1)
        start = task.StartSec;
    if (end == -1)
        end = task.EndSec;
    task.StartText = tasks::SecondsToTimeText(start);
    task.EndText = tasks::SecondsToTimeText(end);
    task.SpanText = tasks::SecondsToTimeText(end - start);
    tasks::deriveSeconds(task, tasks::SelectWholeRow);

    // The trim the run passes to the encoder from what the row now says.
    const QString trim = conversion::trimOptions(task);
    fuzz::check(trim.isEmpty() || trim.startsWith(QLatin1String(" -")), "trim options are switches");
    return 0;
}
