#pragma once

#include <optional>
#include <string_view>

namespace conversion {

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

// The seconds still to go when `elapsed` seconds gave `percent` of the run; unchanged at 0 %.
int remainingSeconds(int elapsed, int percent, int previous);

} // namespace conversion
