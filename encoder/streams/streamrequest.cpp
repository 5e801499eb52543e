#include "streams/streamrequest.h"

#include "ffmpeg/ffmpegnumbers.h"
#include "ownswitches.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>

namespace encoder {

namespace {

std::optional<int> positiveInteger(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value <= 0 || value > 16384)
        return std::nullopt;
    return value;
}

std::optional<std::pair<int, int>> numberPair(const std::string &text, char separator)
{
    const auto at = text.find(separator);
    if (at == std::string::npos)
        return std::nullopt;
    const auto first = positiveInteger(std::string_view(text).substr(0, at));
    const auto second = positiveInteger(std::string_view(text).substr(at + 1));
    if (!first || !second)
        return std::nullopt;
    return std::pair(*first, *second);
}

} // namespace

std::optional<VideoBox> parseVideoBox(const std::string &text)
{
    if (const auto size = numberPair(text, 'x'))
        return VideoBox{size->first, size->second};
    return std::nullopt;
}

std::optional<SourceAspect> parseSourceAspect(const std::string &text)
{
    if (text == "stretch")
        return Stretch{};
    if (const auto ratio = numberPair(text, ':'))
        return double(ratio->first) / ratio->second;
    return std::nullopt;
}

std::optional<double> parseBitRate(const std::string &text)
{
    // FFmpeg's own reading of a number, with its k, M and the like.
    const auto bitsPerSecond = ffmpegNumber(text);
    if (!bitsPerSecond || !(*bitsPerSecond > 0) || !std::isfinite(*bitsPerSecond))
        return std::nullopt;
    return bitsPerSecond;
}

bool takeStreamSwitches(std::vector<std::string> &parameters, StreamRequest &request)
{
    const std::vector<SwitchReader> readers = {
        {"-video-box", [&request](const std::string &value) { return bool(request.videoBox = parseVideoBox(value)); }},
        {"-source-aspect",
         [&request](const std::string &value) { return bool(request.sourceAspect = parseSourceAspect(value)); }},
        {"-video-ceiling",
         [&request](const std::string &value) { return bool(request.videoCeiling = parseBitRate(value)); }},
        {"-keep-streams",
         [&request](const std::string &value) {
             request.keepCompatible = value == "yes";
             return value == "yes" || value == "no";
         }},
    };
    return takeOwnSwitches(parameters, readers);
}

} // namespace encoder
