#pragma once

#include "core/platform/rtlinteger.h"

#include <QString>

#include <optional>

namespace tasks {

using platform::parseRtlInteger;

// A decimal number with "." as the decimal point in every locale; blanks around it, a sign and
// an exponent are accepted.
std::optional<double> parseRtlFloat(const QString &text);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

} // namespace tasks
