// The encoder's output during a conversion, read in pieces, turned into the two progress bars.
#include "core/conversion/progresstime.h"
#include "core/tasks/timetext.h"
#include "fuzz/fuzzinput.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first line holds the spans of the run as time texts, "current,done,total"; the rest is
    // what the encoder printed.
    const auto [header, output] = fuzz::splitHeader(fuzz::bytesOf(data, size));
    const QList<QByteArray> spans = header.split(',');
    const double currentSpan = tasks::TimeTextToSeconds(QString::fromUtf8(spans.value(0)));
    const double doneSpan = tasks::TimeTextToSeconds(QString::fromUtf8(spans.value(1)));
    const double totalSpan = currentSpan + doneSpan + tasks::TimeTextToSeconds(QString::fromUtf8(spans.value(2)));

    fuzz::Cutter cutter(header);
    double largest = 0;
    conversion::ProgressBars bars;
    int reads = 0;
    for (qsizetype at = 0; at < output.size(); ++reads) {
        const QByteArray piece = output.mid(at, cutter.nextLength(output.size() - at));
        at += piece.size();
        // The first two reads of a conversion are never examined.
        if (reads < 2)
            continue;
        if (const auto position =
                conversion::reportedPosition(std::string_view(piece.constData(), std::size_t(piece.size())))) {
            fuzz::check(std::isfinite(*position), "a reported position is a number");
            largest = qMax(largest, *position);
        }
        bars = conversion::progressFor(largest, currentSpan, doneSpan, totalSpan, bars);
        fuzz::check(bars.current >= 0 && bars.current <= 100 && bars.total >= 0 && bars.total <= 100,
                    "a bar holds 0 to 100");
    }
    // The same output read at once.
    conversion::reportedPosition(std::string_view(output.constData(), std::size_t(output.size())));
    return 0;
}
