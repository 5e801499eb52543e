#include "core/tasks/rtlnumbers.h"

#include <cfenv>
#include <cmath>

namespace tasks {
std::optional<double> parseRtlFloat(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    qsizetype i = 0;
    auto digits = [&] {
        const qsizetype from = i;
        while (i < trimmed.size() && trimmed.at(i).unicode() >= '0' && trimmed.at(i).unicode() <= '9')
            ++i;
        return i - from;
    };
    if (trimmed.at(i) == QLatin1Char('-') || trimmed.at(i) == QLatin1Char('+'))
        ++i;
    qsizetype count = digits();
    if (i < trimmed.size() && trimmed.at(i) == QLatin1Char('.')) {
        ++i;
        count += digits();
    }
    if (count == 0)
        return std::nullopt;
    if (i < trimmed.size() && (trimmed.at(i) == QLatin1Char('e') || trimmed.at(i) == QLatin1Char('E'))) {
        ++i;
        if (i < trimmed.size() && (trimmed.at(i) == QLatin1Char('-') || trimmed.at(i) == QLatin1Char('+')))
            ++i;
        if (digits() == 0)
            return std::nullopt;
    }
    if (i != trimmed.size())
        return std::nullopt;
    // toDouble of QString is locale-free: "." is always the decimal point.
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double roundHalfEven(double value)
{
    // nearbyint honours the current rounding mode, which is round-to-nearest-even by default.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return rounded;
}

} // namespace tasks
