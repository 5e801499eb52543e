#include "ffmpeg/ffmpegnumbers.h"

#include "probe/libavformat.h"

#include <charconv>
#include <cmath>

namespace encoder {

namespace {

// The whole text as a decimal number, as strtod reads it, when it has no sign, blank or suffix.
std::optional<double> plainDecimal(const std::string &text)
{
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.'))
        return std::nullopt;
    // Hexadecimal is av_strtod's own.
    if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> ffmpegNumber(const std::string &text)
{
    if (const auto plain = plainDecimal(text))
        return plain;
    // The decimal prefixes every profile's bit rates use: av_strtod multiplies by the same factor.
    if (text.size() > 1) {
        const char prefix = text.back();
        const double factor = prefix == 'k' ? 1e3 : prefix == 'M' ? 1e6 : prefix == 'G' ? 1e9 : 0;
        if (const auto plain = factor ? plainDecimal(text.substr(0, text.size() - 1)) : std::nullopt)
            return *plain * factor;
    }
    const Libav *libav = encoder::libav();
    if (!libav)
        return std::nullopt;
    char *end = nullptr;
    const double value = libav->strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0')
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> ffmpegDuration(const std::string &text)
{
    // Seconds and up to six digits of their fraction, the rest dropped, as av_parse_time counts.
    const char *at = text.data();
    const char *const last = text.data() + text.size();
    std::int64_t seconds = 0;
    const auto [afterSeconds, error] = std::from_chars(at, last, seconds);
    if (error == std::errc() && afterSeconds != at && seconds < std::int64_t(1) << 40) {
        at = afterSeconds;
        std::int64_t microseconds = 0;
        if (at != last && *at == '.') {
            ++at;
            for (std::int64_t digit = 100000; at != last && std::isdigit(static_cast<unsigned char>(*at)); ++at) {
                microseconds += digit * (*at - '0');
                digit /= 10;
            }
        }
        if (at == last && text.front() != '-')
            return seconds * 1000000 + microseconds;
    }
    const Libav *libav = encoder::libav();
    std::int64_t microseconds = 0;
    if (!libav || libav->parseTime(&microseconds, text.c_str(), 1) < 0)
        return std::nullopt;
    return microseconds;
}

std::optional<double> ffmpegFrameRate(const std::string &text)
{
    // A rate with at most three decimals is an exact fraction within av_d2q's bounds: libav's
    // rational of it comes back to the same double.
    if (const auto plain = plainDecimal(text); plain && *plain > 0 && *plain <= 1000) {
        const std::size_t dot = text.find('.');
        if (dot == std::string::npos || text.size() - dot - 1 <= 3)
            return plain;
    }
    const Libav *libav = encoder::libav();
    AVRational rate{0, 1};
    if (!libav || libav->parseVideoRate(&rate, text.c_str()) < 0)
        return std::nullopt;
    return av_q2d(rate);
}

std::optional<int> ffmpegChannelCount(const std::string &layout)
{
    // What the probe's facts say of nearly every file.
    if (layout == "mono")
        return 1;
    if (layout == "stereo")
        return 2;
    const Libav *libav = encoder::libav();
    AVChannelLayout read{};
    if (!libav || libav->channelLayoutFromString(&read, layout.c_str()) < 0)
        return std::nullopt;
    const int count = read.nb_channels;
    libav->channelLayoutUninit(&read);
    return count;
}

} // namespace encoder
