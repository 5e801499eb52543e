#include "fit/fitsize.h"

#include "decimaltext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace encoder {

namespace {

struct Unit {
    char letter;
    double bytes;
    const char *name;
};
constexpr Unit Units[] = {{'k', 1e3, "kB"}, {'m', 1e6, "MB"}, {'g', 1e9, "GB"}};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits with at most one point between digits: no sign, no exponent, no "inf".
bool plainDecimal(std::string_view text)
{
    const auto point = text.find('.');
    const auto digits = [](std::string_view part) {
        return !part.empty() && std::all_of(part.begin(), part.end(), isDigit);
    };
    if (point == std::string_view::npos)
        return digits(text);
    return digits(text.substr(0, point)) && digits(text.substr(point + 1));
}

std::string inUnit(double value, const FitSize &size, int decimals)
{
    if (size.unitBytes == 1)
        return fixedDecimal(value, 0) + " bytes";
    return fixedDecimal(value, decimals) + " " + size.unit;
}

} // namespace

std::optional<FitSize> parseFitSize(std::string_view text)
{
    FitSize size;
    size.unit = "bytes";
    if (!text.empty() && text.back() == 'B')
        text.remove_suffix(1);
    if (!text.empty()) {
        const char letter = static_cast<char>(text.back() | 0x20);
        for (const Unit &unit : Units) {
            if (letter == unit.letter) {
                size.unitBytes = unit.bytes;
                size.unit = unit.name;
                text.remove_suffix(1);
                break;
            }
        }
    }
    if (!plainDecimal(text))
        return std::nullopt;
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    size.bytes = value * size.unitBytes;
    size.number = std::string(text);
    // Under a kilobyte no container holds as much as its own header.
    if (!(size.bytes >= 1000) || !std::isfinite(size.bytes))
        return std::nullopt;
    return size;
}

std::string givenText(const FitSize &size)
{
    return size.unitBytes == 1 ? size.number + " bytes" : size.number + " " + size.unit;
}

std::string overText(double bytes, const FitSize &size)
{
    const double value = bytes / size.unitBytes;
    const double target = size.bytes / size.unitBytes;
    int decimals = 1;
    const auto rounded = [value](int places) {
        const double scale = std::pow(10.0, places);
        return std::round(value * scale) / scale;
    };
    while (decimals < 3 && value > target && rounded(decimals) <= target)
        ++decimals;
    return inUnit(rounded(decimals), size, decimals);
}

std::string leastText(double bytes, const FitSize &size)
{
    const double tenths = std::ceil(bytes / size.unitBytes * 10 - 1e-9);
    if (size.unitBytes == 1)
        return inUnit(std::ceil(bytes), size, 0);
    return inUnit(tenths / 10, size, 1);
}

} // namespace encoder
