#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace encoder {

// The size -fit aims at, in decimal units as messaging services count them: "16M" is
// 16,000,000 bytes, "700k" 700,000. Our sentences speak of sizes in the unit the user gave.
struct FitSize {
    double bytes = 0;
    std::string number; // as typed: "1.5"
    double unitBytes = 1;
    std::string unit; // "kB", "MB", "GB" or "bytes"
};

// A decimal number, then k, M or G (either case) and an optional B; a bare number counts bytes.
std::optional<FitSize> parseFitSize(std::string_view text);

// The size as the user gave it: "16 MB".
std::string givenText(const FitSize &size);
// A size past the target, in its unit with one decimal, or more where one would not show that
// it is past: 1,012,000 bytes against "1M" is "1.01 MB", not "1.0 MB".
std::string overText(double bytes, const FitSize &size);
// A size rounded up in the last decimal shown, for the least one that would do.
std::string leastText(double bytes, const FitSize &size);

} // namespace encoder
