#include "keep/keeprules.h"

#include "core/protocol/tracks.h"
#include "ffmpeg/ffmpegnumbers.h"
#include "fit/fitparameters.h"
#include "streams/sourcefacts.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace encoder {

namespace {

// A rate a little over the profile's is what its encoder would have made too.
constexpr double RateTolerance = 1.05;

std::string kbps(double bitsPerSecond)
{
    return std::to_string(std::lround(bitsPerSecond / 1000)) + " kb/s";
}

std::string framesText(double framesPerSecond)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::round(framesPerSecond * 100) / 100);
    return text;
}

std::string lowerNoBlanks(const std::string &text)
{
    std::string folded;
    for (const char c : text) {
        if (c != ' ')
            folded += char(std::tolower(static_cast<unsigned char>(c)));
    }
    return folded;
}

// The profiles an H.264 or H.265 decoder of the asked profile plays, by libavcodec's names.
bool profileAllowed(const std::string &codec, const std::string &asked, const std::string &profile)
{
    static const std::map<std::string, std::set<std::string>> h264 = {
        {"baseline", {"Constrained Baseline", "Baseline"}},
        {"main", {"Constrained Baseline", "Main"}},
        {"high", {"Constrained Baseline", "Main", "High"}},
        {"high10", {"Constrained Baseline", "Main", "High", "High 10"}},
        {"high422", {"Constrained Baseline", "Main", "High", "High 10", "High 4:2:2"}},
        {"high444", {"Constrained Baseline", "Main", "High", "High 10", "High 4:2:2", "High 4:4:4 Predictive"}},
    };
    static const std::map<std::string, std::set<std::string>> hevc = {
        {"main", {"Main"}},
        {"main10", {"Main", "Main 10"}},
    };
    const auto &table = codec == "h264" ? h264 : hevc;
    if (codec == "h264" || codec == "hevc") {
        const auto found = table.find(asked);
        return found != table.end() && found->second.count(profile);
    }
    return lowerNoBlanks(asked) == lowerNoBlanks(profile);
}

// x264 takes "3.1", "31" and "4" for a level; libavcodec counts 31 and 40.
std::optional<int> h264Level(const std::string &text)
{
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || value <= 0)
        return std::nullopt;
    return int(std::lround(text.find('.') != std::string::npos || value < 10 ? value * 10 : value));
}

std::optional<double> framesPerSecond(const std::string &text)
{
    return ffmpegFrameRate(text);
}

int channelCount(const std::string &channels)
{
    if (const auto blank = channels.find(" channels"); blank != std::string::npos)
        return std::atoi(channels.substr(0, blank).c_str());
    return ffmpegChannelCount(channels).value_or(0);
}

std::optional<std::string> codecReason(const std::string &codec, const std::optional<std::string> &encoder,
                                       std::string_view kind)
{
    if (!encoder)
        return "the profile names no " + std::string(kind) + " codec";
    if (*encoder == "copy")
        return std::nullopt;
    const std::string made = codecOfEncoder(*encoder);
    if (codec != made)
        return protocol::codecLabel(codec) + ", the profile makes " + protocol::codecLabel(made);
    return std::nullopt;
}

std::optional<std::string> shapeReason(const StreamInfo &video, const std::vector<std::string> &parameters,
                                       const StreamRequest &streams)
{
    if (streams.sourceAspect)
        return "Aspect states its shape";
    if (lastValue(parameters, {"-aspect"}))
        return "Aspect is set";
    if (video.pixelAspect && std::abs(*video.pixelAspect - 1) > 0.01)
        return "its pixels are not square";
    const DisplaySize shown = displaySize(video, std::nullopt);
    const std::string size = std::to_string(std::lround(shown.width)) + "x" + std::to_string(std::lround(shown.height));
    if (const auto exact = lastValue(parameters, {"-s"}); exact && parseVideoBox(*exact)) {
        const VideoBox asked = *parseVideoBox(*exact);
        if (std::lround(shown.width) != asked.width || std::lround(shown.height) != asked.height)
            return size + ", the profile makes " + *exact;
    }
    if (streams.videoBox) {
        const VideoBox box = boxFor(*streams.videoBox, shown);
        if (shown.width > box.width + 0.5 || shown.height > box.height + 0.5)
            return size + ", over the box " + std::to_string(box.width) + "x" + std::to_string(box.height);
    }
    return std::nullopt;
}

std::optional<std::string> encodingReason(const StreamInfo &video, const std::vector<std::string> &parameters)
{
    if (const auto format = lastValue(parameters, {"-pix_fmt"}); format && *format != video.pixelFormat)
        return video.pixelFormat + ", the profile makes " + *format;
    if (const auto asked = lastValue(parameters, {"-profile:v", "-vprofile"});
        asked && !profileAllowed(video.codec, *asked, video.profile))
        return (video.profile.empty() ? "profile unknown" : video.profile + " profile") + ", the profile makes " +
               *asked;
    if (const auto asked = lastValue(parameters, {"-level", "-level:v"})) {
        const auto most = video.codec == "h264" ? h264Level(*asked) : std::nullopt;
        if (!most || video.level <= 0 || video.level > *most)
            return "level " + (video.level > 0 ? std::to_string(video.level) : std::string("unknown")) +
                   ", the profile makes " + *asked;
    }
    if (const auto asked = lastValue(parameters, {"-r"})) {
        const auto rate = framesPerSecond(*asked);
        if (!video.framesPerSecond || !rate || std::abs(*video.framesPerSecond - *rate) > 0.01)
            return (video.framesPerSecond ? framesText(*video.framesPerSecond) : std::string("unknown")) +
                   " fps, the profile makes " + *asked;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> lastValue(const std::vector<std::string> &parameters,
                                     std::initializer_list<std::string_view> names)
{
    return lastValue(parameters, std::span(names.begin(), names.size()));
}

std::string codecOfEncoder(const std::string &encoder)
{
    static const std::map<std::string, std::string> made = {
        {"libx264", "h264"},   {"libx264rgb", "h264"},  {"libopenh264", "h264"}, {"libx265", "hevc"},
        {"libvpx", "vp8"},     {"libvpx-vp9", "vp9"},   {"libaom-av1", "av1"},   {"libsvtav1", "av1"},
        {"libxvid", "mpeg4"},  {"libopus", "opus"},     {"libmp3lame", "mp3"},   {"libvorbis", "vorbis"},
        {"libfdk_aac", "aac"}, {"libtheora", "theora"}, {"libshine", "mp3"},     {"libtwolame", "mp2"},
    };
    const auto found = made.find(encoder);
    return found != made.end() ? found->second : encoder;
}

std::optional<std::string> videoConversionReason(const StreamInfo &video, const MediaInfo &input,
                                                 const std::vector<std::string> &parameters,
                                                 const StreamRequest &streams)
{
    if (auto reason = codecReason(video.codec, lastValue(parameters, {"-c:v", "-codec:v", "-vcodec"}), "video"))
        return reason;
    if (lastValue(parameters, {"-vf", "-filter:v", "-filter:v:0"}))
        return std::string("Deinterlace or another video filter is set");
    if (auto reason = shapeReason(video, parameters, streams))
        return reason;
    if (auto reason = encodingReason(video, parameters))
        return reason;
    std::optional<double> limit = streams.videoCeiling;
    if (const auto given = lastValue(parameters, {"-b:v", "-vb"}); given && parseBitRate(*given))
        limit = std::min(limit.value_or(*parseBitRate(*given)), *parseBitRate(*given));
    if (limit) {
        const auto rate = sourceVideoRate(input);
        if (!rate)
            return "its bit rate is unknown, the profile makes at most " + kbps(*limit);
        if (*rate > *limit * RateTolerance)
            return kbps(*rate) + ", over the profile's " + kbps(*limit);
    }
    return std::nullopt;
}

std::optional<std::string> audioConversionReason(const StreamInfo &audio, const std::vector<std::string> &parameters)
{
    if (auto reason = codecReason(audio.codec, lastValue(parameters, {"-c:a", "-codec:a", "-acodec"}), "audio"))
        return reason;
    if (lastValue(parameters, {"-af", "-filter:a"}))
        return std::string("Volumn or another audio filter is set");
    if (const auto asked = lastValue(parameters, {"-ac"})) {
        const int channels = channelCount(audio.channels);
        if (std::to_string(channels) != *asked)
            return std::to_string(channels) + (channels == 1 ? " channel" : " channels") + ", the profile makes " +
                   *asked;
    }
    if (const auto asked = lastValue(parameters, {"-ar"}); asked && std::to_string(audio.sampleRate) != *asked)
        return std::to_string(audio.sampleRate) + " Hz, the profile makes " + *asked;
    if (const auto given = lastValue(parameters, {"-b:a", "-ab"}); given && parseBitRate(*given)) {
        const double limit = *parseBitRate(*given);
        if (!audio.bitRate)
            return "its bit rate is unknown, the profile makes " + kbps(limit);
        if (double(*audio.bitRate) > limit * RateTolerance)
            return kbps(double(*audio.bitRate)) + ", over the profile's " + kbps(limit);
    }
    return std::nullopt;
}

} // namespace encoder
