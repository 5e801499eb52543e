#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The facts' own small text form: records separated by ';', each of fields "key=value" separated
// by ',', the four marks percent-escaped inside values; then base64url without padding, so that
// the whole is one word of a command line.
namespace encoder {

using FactsRecord = std::map<std::string, std::string, std::less<>>;

std::string factsText(const std::vector<FactsRecord> &records);
// Empty when the text is not of this form.
std::optional<std::vector<FactsRecord>> factsRecords(std::string_view text);

std::string base64Url(std::string_view bytes);
std::optional<std::string> fromBase64Url(std::string_view text);

// Numbers that come back exactly as written: the shortest text that reads back the same double.
std::string numberText(double value);
std::optional<double> numberOf(std::string_view text);
std::optional<long long> integerOf(std::string_view text);

} // namespace encoder
