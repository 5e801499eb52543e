#include "ffmpeg/ffmpeglog.h"

#include <array>
#include <charconv>

namespace encoder {

namespace {

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// "[name] " at the front, taken off; empty when the line does not start so.
std::optional<std::string_view> takeBracket(std::string_view &text)
{
    if (!startsWith(text, "["))
        return std::nullopt;
    const auto close = text.find("] ");
    if (close == std::string_view::npos)
        return std::nullopt;
    const std::string_view inside = text.substr(1, close - 1);
    text.remove_prefix(close + 2);
    return inside;
}

constexpr std::array<std::string_view, 9> Levels = {"quiet", "panic",   "fatal", "error", "warning",
                                                    "info",  "verbose", "debug", "trace"};

bool isLevel(std::string_view name)
{
    for (const std::string_view level : Levels) {
        if (name == level)
            return true;
    }
    return false;
}

std::optional<double> number(std::string_view text)
{
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

// "HH:MM:SS.cc", as FFmpeg prints a duration.
std::optional<double> clockSeconds(std::string_view text)
{
    const auto first = text.find(':');
    const auto second = text.find(':', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos)
        return std::nullopt;
    const auto hours = number(text.substr(0, first));
    const auto minutes = number(text.substr(first + 1, second - first - 1));
    const auto seconds = number(text.substr(second + 1));
    if (!hours || !minutes || !seconds)
        return std::nullopt;
    return *hours * 3600 + *minutes * 60 + *seconds;
}

// The figure after "name:" up to "kB".
std::optional<double> kilobytes(std::string_view line, std::string_view name)
{
    const auto at = line.find(name);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = line.substr(at + name.size());
    const auto unit = rest.find("kB");
    if (unit == std::string_view::npos)
        return std::nullopt;
    return number(rest.substr(0, unit));
}

} // namespace

std::optional<std::string> FfmpegLog::takeLine(std::string_view line)
{
    std::string_view message = line;
    std::string_view context;
    if (std::string_view rest = message; const auto name = takeBracket(rest)) {
        if (name->find(" @ ") != std::string_view::npos) {
            context = message.substr(0, message.size() - rest.size());
            message = rest;
        }
    }
    std::string_view rest = message;
    const auto level = takeBracket(rest);
    if (level && isLevel(*level)) {
        message = rest;
        m_shown = *level == "panic" || *level == "fatal" || *level == "error";
        if (*level == "info" && context.empty())
            readInfo(message);
    }
    if (!m_shown)
        return std::nullopt;
    return std::string(context) + std::string(message);
}

void FfmpegLog::readInfo(std::string_view message)
{
    if (startsWith(message, "Input #")) {
        // One input: a second would be a profile's own, and its figures not ours to read.
        m_inInput = !m_account.inputSeen && startsWith(message, "Input #0, ");
        m_account.inputSeen = true;
        return;
    }
    if (startsWith(message, "Output #") || startsWith(message, "Stream mapping:")) {
        m_inInput = false;
        return;
    }
    if (m_inInput && startsWith(message, "  Duration: ")) {
        const std::string_view value = message.substr(12, message.find(',') - 12);
        m_account.inputSeconds = clockSeconds(value);
        return;
    }
    if (m_inInput && startsWith(message, "  Stream #0:")) {
        // "  Stream #0:1[0x2](und): Audio: aac ...": the kind is the word after the first ": ".
        const auto colon = message.find(": ");
        const auto end = message.find(':', colon + 2);
        if (colon != std::string_view::npos && end != std::string_view::npos)
            m_account.inputKinds.emplace_back(message.substr(colon + 2, end - colon - 2));
        return;
    }
    if (startsWith(message, "video:") && message.find("muxing overhead") != std::string_view::npos) {
        const auto video = kilobytes(message, "video:");
        const auto audio = kilobytes(message, "audio:");
        if (video && audio) {
            m_account.sizesSeen = true;
            m_account.videoKilobytes = *video;
            m_account.audioKilobytes = *audio;
        }
    }
}

} // namespace encoder
