#include "fit/fitparameters.h"

#include "ffmpeg/ffmpegnumbers.h"

#include <algorithm>
#include <cmath>

namespace encoder {

namespace {

constexpr std::string_view VideoCodecSwitches[] = {"-c:v", "-vcodec", "-codec:v", "-c:v:0", "-c", "-codec"};
constexpr std::string_view AudioCodecSwitches[] = {"-c:a", "-acodec", "-codec:a", "-c:a:0", "-c", "-codec"};
constexpr std::string_view AudioBitRateSwitches[] = {"-b:a", "-ab", "-b:a:0"};
// Each would set the video's bit rate or quality over ours, or name another pass log.
constexpr std::string_view DisplacedSwitches[] = {"-b:v", "-vb",       "-b:v:0", "-crf",        "-qp",
                                                  "-q:v", "-qscale:v", "-pass",  "-passlogfile"};

bool oneOf(const std::string &parameter, std::span<const std::string_view> names)
{
    return std::find(names.begin(), names.end(), parameter) != names.end();
}

// What we set when the parameters leave the audio bit rate to the codec; set, so that the codec
// gives what the video's share was counted from.
double defaultAudioBitRate(std::string_view codec)
{
    if (codec == "libopencore_amrnb" || codec == "amr_nb")
        return 12200; // the best of AMR-NB's fixed modes
    if (codec == "libvo_amrwbenc" || codec == "amr_wb")
        return 23850;
    if (codec == "libopus" || codec == "opus")
        return 96000;
    if (codec == "ac3" || codec == "eac3")
        return 192000;
    return 128000;
}

std::string bitRateText(double bitsPerSecond)
{
    return std::to_string(std::llround(bitsPerSecond));
}

} // namespace

std::optional<std::string> lastValue(const std::vector<std::string> &parameters,
                                     std::span<const std::string_view> names)
{
    for (std::size_t i = parameters.size(); i-- > 1;) {
        if (oneOf(parameters[i - 1], names))
            return parameters[i];
    }
    return std::nullopt;
}

bool copiesVideo(const std::vector<std::string> &parameters)
{
    return lastValue(parameters, VideoCodecSwitches) == "copy";
}

bool copiesAudio(const std::vector<std::string> &parameters)
{
    return lastValue(parameters, AudioCodecSwitches) == "copy";
}

std::optional<AudioBitRate> audioBitRate(const std::vector<std::string> &parameters)
{
    if (const auto given = lastValue(parameters, AudioBitRateSwitches)) {
        // FFmpeg's own reading of a number, with its k, M and the like.
        const auto bitsPerSecond = ffmpegNumber(*given);
        if (!bitsPerSecond || !(*bitsPerSecond > 0) || !std::isfinite(*bitsPerSecond))
            return std::nullopt;
        return AudioBitRate{*bitsPerSecond, true};
    }
    return AudioBitRate{defaultAudioBitRate(lastValue(parameters, AudioCodecSwitches).value_or("")), false};
}

void setAudioBitRate(std::vector<std::string> &parameters, const std::string &rate)
{
    for (std::size_t i = parameters.size(); i-- > 1;) {
        if (oneOf(parameters[i - 1], AudioBitRateSwitches)) {
            parameters[i] = rate;
            return;
        }
    }
    parameters.insert(parameters.end(), {"-b:a", rate});
}

std::vector<std::string> fitParameters(const std::vector<std::string> &parameters, std::optional<double> videoBitRate,
                                       std::optional<double> audioBitRate)
{
    if (!videoBitRate && !audioBitRate)
        return parameters;
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (videoBitRate && oneOf(parameters[i], DisplacedSwitches))
            ++i; // and its value
        else
            kept.push_back(parameters[i]);
    }
    if (videoBitRate)
        kept.insert(kept.end(), {"-b:v", bitRateText(*videoBitRate)});
    if (audioBitRate)
        kept.insert(kept.end(), {"-b:a", bitRateText(*audioBitRate)});
    return kept;
}

std::vector<std::string> firstPassSwitches(const std::string &passLog)
{
    return {"-pass", "1", "-passlogfile", passLog, "-an"};
}

std::vector<std::string> secondPassSwitches(const std::string &passLog)
{
    return {"-pass", "2", "-passlogfile", passLog};
}

} // namespace encoder
