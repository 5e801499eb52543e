#pragma once

#include <QString>

#include <optional>

namespace platform {

// The run-time library's integer conversion: the whole text must be a 32-bit signed integer;
// leading blanks, a sign and hexadecimal written with "$" or "0x" are accepted.
std::optional<int> parseRtlInteger(const QString &text);

} // namespace platform
