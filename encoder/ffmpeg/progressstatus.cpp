#include "ffmpeg/progressstatus.h"

#include "decimaltext.h"

#include "core/protocol/statusline.h"

#include <algorithm>
#include <charconv>

namespace encoder {

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Our status must stay one blank-separated word per field: the window reads time up to a blank.
std::string oneWord(std::string_view text)
{
    std::string word(trimmed(text));
    std::replace(word.begin(), word.end(), ' ', '_');
    return word.empty() ? std::string("N/A") : word;
}

template <typename Number>
std::optional<Number> parsed(std::string_view text)
{
    Number value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::string> ProgressStatus::takeLine(std::string_view line)
{
    const auto equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    const std::string_view key = trimmed(line.substr(0, equals));
    const std::string_view value = trimmed(line.substr(equals + 1));

    if (key == "frame")
        frame_ = oneWord(value);
    else if (key == "fps")
        fps_ = oneWord(value);
    else if (key == "bitrate")
        bitRate_ = oneWord(value);
    else if (key == "speed")
        speed_ = oneWord(value);
    else if (key == "total_size")
        totalBytes_ = parsed<long long>(value).value_or(totalBytes_);
    else if (key == "out_time_us") {
        // N/A before the first packet; slightly negative while the muxer's start is shifted.
        if (const auto microseconds = parsed<long long>(value))
            seconds_ = std::max(0.0, static_cast<double>(*microseconds) / 1e6);
    } else if (key == "progress") {
        ended_ = value == "end";
        return statusLine();
    }
    return std::nullopt;
}

std::string ProgressStatus::statusLine() const
{
    double shown = share_.from + share_.scale * seconds_;
    if (share_.upTo)
        shown = std::min(shown, *share_.upTo);
    return protocol::statusLine({frame_, fps_, totalBytes_ / 1024, fixedDecimal(shown, 2), bitRate_, speed_});
}

} // namespace encoder
