#include "core/conversion/progresstime.h"

#include "core/protocol/statusline.h"
#include "core/tasks/rtlnumbers.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace conversion {

std::optional<double> reportedPosition(std::string_view line)
{
    const std::string_view time = protocol::timeField(line);
    if (time.empty())
        return std::nullopt;
    return tasks::parseRtlFloat(QString::fromUtf8(time.data(), qsizetype(time.size())));
}

namespace {
// Spans summed from absurd durations can reach infinity, and infinity over infinity is no
// percentage at all: such a bar stays where it was.
int percentOf(double part, double whole, int previous)
{
    const double percent = tasks::roundHalfEven(part / whole * 100);
    return std::isnan(percent) ? previous : int(std::clamp(percent, 0.0, 100.0));
}
} // namespace

ProgressBars progressFor(double largestPosition, double currentSpan, double doneSpan, double totalSpan,
                         ProgressBars previous)
{
    ProgressBars bars = previous;
    if (currentSpan != 0)
        bars.current = percentOf(largestPosition, currentSpan, previous.current);
    if (totalSpan != 0)
        bars.total = percentOf(doneSpan + largestPosition, totalSpan, previous.total);
    return bars;
}

int remainingSeconds(int elapsed, int percent, int previous)
{
    if (percent == 0)
        return previous;
    return int(tasks::roundHalfEven(double(elapsed) / (percent / 100.0) - elapsed));
}

} // namespace conversion
