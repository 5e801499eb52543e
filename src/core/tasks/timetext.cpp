#include "timetext.h"

#include "rtlnumbers.h"

#include <algorithm>
#include <cmath>

namespace tasks {
namespace {

// The "00" pattern: at least two digits, the sign in front.
QString twoDigits(qint64 value)
{
    const QString digits = QString::number(value < 0 ? -value : value).rightJustified(2, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

} // namespace

QString SecondsToTimeText(double seconds)
{
    // Beyond 2^53 a double holds no fraction of a second, and soon after the whole seconds no
    // longer fit in 64 bits. No input lasts that long, so such a time (an end of 1e300 typed by
    // hand) shows as the longest one; what is no number at all shows as the malformed -1.
    constexpr double LongestSeconds = 9007199254740992.0;
    if (std::isnan(seconds))
        seconds = -1;
    seconds = std::clamp(seconds, -LongestSeconds, LongestSeconds);
    qint64 whole = static_cast<qint64>(std::trunc(seconds));
    auto tenthsOf = [seconds](qint64 w) {
        const qint64 h = w / 3600;
        const qint64 m = (w - h * 3600) / 60;
        const qint64 s = w - h * 3600 - m * 60;
        return static_cast<qint64>(roundHalfEven((seconds - double(h * 3600) - double(m * 60) - double(s)) * 10));
    };
    qint64 tenths = tenthsOf(whole);
    if (tenths >= 10) {
        ++whole;
        tenths = 0;
    }
    const qint64 h = whole / 3600;
    const qint64 m = (whole - h * 3600) / 60;
    const qint64 s = whole - h * 3600 - m * 60;
    QString text = twoDigits(h) + QLatin1Char(':') + twoDigits(m) + QLatin1Char(':') + twoDigits(s);
    if (tenths != 0)
        text += QLatin1Char('.') + QString::number(tenths);
    return text;
}

double TimeTextToSeconds(const QString &text)
{
    const qsizetype firstColon = text.indexOf(QLatin1Char(':'));
    if (firstColon < 0)
        return -1;
    const QString rest = text.mid(firstColon + 1);
    const qsizetype secondColon = rest.indexOf(QLatin1Char(':'));
    if (secondColon < 0)
        return -1;
    const QString secondsPart = rest.mid(secondColon + 1);
    const auto hours = parseRtlInteger(text.left(firstColon));
    const auto minutes = parseRtlInteger(rest.left(secondColon));
    if (!hours || !minutes || secondsPart.startsWith(QLatin1Char('.')))
        return -1;
    const auto secs = parseRtlFloat(secondsPart);
    if (!secs)
        return -1;
    return double(qint64(*hours) * 3600 + qint64(*minutes) * 60) + *secs;
}

QString StripExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

} // namespace tasks
