#include "ffmpeg/progressstatus.h"

#include "core/protocol/statusline.h"
#include "decimaltext.h"

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

template <typename Number> std::optional<Number> parsed(std::string_view text)
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
        m_frame = oneWord(value);
    else if (key == "fps")
        m_fps = oneWord(value);
    else if (key == "bitrate")
        m_bitRate = oneWord(value);
    else if (key == "speed")
        m_speed = oneWord(value);
    else if (key == "total_size")
        m_totalBytes = parsed<long long>(value).value_or(m_totalBytes);
    else if (key == "out_time_us") {
        // N/A before the first packet; slightly negative while the muxer's start is shifted.
        if (const auto microseconds = parsed<long long>(value))
            m_seconds = std::max(0.0, static_cast<double>(*microseconds) / 1e6);
    } else if (key == "progress") {
        m_ended = value == "end";
        return statusLine();
    }
    return std::nullopt;
}

std::string ProgressStatus::statusLine() const
{
    double shown = m_share.from + m_share.scale * m_seconds;
    if (m_share.upTo)
        shown = std::min(shown, *m_share.upTo);
    return protocol::statusLine({m_frame, m_fps, m_totalBytes / 1024, fixedDecimal(shown, 2), m_bitRate, m_speed});
}

} // namespace encoder
