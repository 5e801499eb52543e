#include "probe/factstext.h"

#include <array>
#include <charconv>

namespace encoder {

namespace {

constexpr std::string_view Marks = ";,=%";
constexpr std::string_view Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr std::string_view Hex = "0123456789ABCDEF";

std::string escaped(std::string_view value)
{
    std::string text;
    for (const char c : value) {
        if (Marks.find(c) == std::string_view::npos) {
            text += c;
        } else {
            text += '%';
            text += Hex[static_cast<unsigned char>(c) >> 4];
            text += Hex[static_cast<unsigned char>(c) & 15];
        }
    }
    return text;
}

int hexDigit(char c)
{
    const std::size_t at = Hex.find(c);
    return at == std::string_view::npos ? -1 : int(at);
}

std::optional<std::string> unescaped(std::string_view text)
{
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            value += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexDigit(text[i + 1]);
        const int low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        value += char(high * 16 + low);
        i += 2;
    }
    return value;
}

std::vector<std::string_view> split(std::string_view text, char mark)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(mark);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

template <typename Number> std::optional<Number> readWhole(std::string_view text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::string factsText(const std::vector<FactsRecord> &records)
{
    std::string text;
    for (std::size_t r = 0; r < records.size(); ++r) {
        if (r > 0)
            text += ';';
        bool first = true;
        for (const auto &[key, value] : records[r]) {
            if (!first)
                text += ',';
            first = false;
            text += escaped(key) + '=' + escaped(value);
        }
    }
    return text;
}

std::optional<std::vector<FactsRecord>> factsRecords(std::string_view text)
{
    std::vector<FactsRecord> records;
    for (const std::string_view record : split(text, ';')) {
        FactsRecord fields;
        for (const std::string_view field : record.empty() ? std::vector<std::string_view>() : split(record, ',')) {
            const std::size_t equals = field.find('=');
            if (equals == std::string_view::npos)
                return std::nullopt;
            const auto key = unescaped(field.substr(0, equals));
            const auto value = unescaped(field.substr(equals + 1));
            if (!key || !value || !fields.emplace(*key, *value).second)
                return std::nullopt;
        }
        records.push_back(std::move(fields));
    }
    return records;
}

std::string base64Url(std::string_view bytes)
{
    std::string text;
    unsigned bits = 0;
    int count = 0;
    for (const char c : bytes) {
        bits = (bits << 8) | static_cast<unsigned char>(c);
        count += 8;
        while (count >= 6) {
            count -= 6;
            text += Alphabet[(bits >> count) & 63];
        }
    }
    if (count > 0)
        text += Alphabet[(bits << (6 - count)) & 63];
    return text;
}

std::optional<std::string> fromBase64Url(std::string_view text)
{
    std::string bytes;
    unsigned bits = 0;
    int count = 0;
    for (const char c : text) {
        const std::size_t value = Alphabet.find(c);
        if (value == std::string_view::npos)
            return std::nullopt;
        bits = (bits << 6) | unsigned(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += char((bits >> count) & 255);
        }
    }
    // A lone character cannot end a text, and the bits left over must be the padding's zeros.
    if (count >= 6 || (bits & ((1u << count) - 1)) != 0)
        return std::nullopt;
    return bytes;
}

std::string numberText(double value)
{
    std::array<char, 32> text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() ? std::string(text.data(), end) : std::string();
}

std::optional<double> numberOf(std::string_view text)
{
    return readWhole<double>(text);
}

std::optional<long long> integerOf(std::string_view text)
{
    return readWhole<long long>(text);
}

} // namespace encoder
