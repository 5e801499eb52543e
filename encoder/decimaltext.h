#pragma once

#include <charconv>
#include <string>

namespace encoder {

// Fixed-point text with "." whatever the locale: the window parses our numbers that way.
inline std::string fixedDecimal(double value, int decimals)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string("N/A");
}

} // namespace encoder
