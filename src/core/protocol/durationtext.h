#pragma once

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <string>

// The time text of the encoder's reports ("Duration: 00:01:05.3"), which the program shows as
// it stands: hh:mm:ss with whole seconds truncated and tenths rounded half to even; tenths that
// round up to ten carry into the seconds.
namespace protocol {

namespace detail {
inline double roundHalfEven(double value)
{
    // nearbyint honours the current rounding mode, which is round-to-nearest-even by default.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return rounded;
}

// At least two digits, the sign in front.
inline std::string twoDigits(long long value)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (digits.size() < 2)
        digits.insert(0, 2 - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}
} // namespace detail

inline std::string durationText(double seconds)
{
    // Beyond 2^53 a double holds no fraction of a second, and soon after the whole seconds no
    // longer fit in 64 bits. No input lasts that long, so such a time (an end of 1e300 typed by
    // hand) shows as the longest one; what is no number at all shows as the malformed -1.
    constexpr double LongestSeconds = 9007199254740992.0;
    if (std::isnan(seconds))
        seconds = -1;
    seconds = std::clamp(seconds, -LongestSeconds, LongestSeconds);
    long long whole = static_cast<long long>(std::trunc(seconds));
    const auto tenthsOf = [seconds](long long w) {
        const long long h = w / 3600;
        const long long m = (w - h * 3600) / 60;
        const long long s = w - h * 3600 - m * 60;
        return static_cast<long long>(
            detail::roundHalfEven((seconds - double(h * 3600) - double(m * 60) - double(s)) * 10));
    };
    long long tenths = tenthsOf(whole);
    if (tenths >= 10) {
        ++whole;
        tenths = 0;
    }
    const long long h = whole / 3600;
    const long long m = (whole - h * 3600) / 60;
    const long long s = whole - h * 3600 - m * 60;
    std::string text = detail::twoDigits(h) + ':' + detail::twoDigits(m) + ':' + detail::twoDigits(s);
    if (tenths != 0)
        text += '.' + std::to_string(tenths);
    return text;
}

} // namespace protocol
