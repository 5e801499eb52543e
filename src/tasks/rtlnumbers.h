#pragma once

#include <QString>

#include <optional>

namespace tasks {

// The run-time library's integer conversion: the whole text must be a 32-bit signed integer;
// leading blanks, a sign and hexadecimal written with "$" or "0x" are accepted.
std::optional<int> parseRtlInteger(const QString &text);

// A decimal number with "." as the decimal point in every locale; blanks around it, a sign and
// an exponent are accepted.
std::optional<double> parseRtlFloat(const QString &text);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

} // namespace tasks
