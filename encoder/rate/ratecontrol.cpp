#include "rate/ratecontrol.h"

#include "decimaltext.h"
#include "fit/fitparameters.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace encoder {

namespace {

constexpr std::string_view VideoCodecSwitches[] = {"-c:v", "-vcodec", "-codec:v", "-c:v:0", "-c", "-codec"};
constexpr std::string_view QualitySwitches[] = {"-crf", "-q:v", "-qscale:v", "-qscale", "-q"};
// Each would set the video's rate over ours.
constexpr std::string_view RateSwitches[] = {"-b:v",     "-vb",        "-b:v:0",   "-maxrate",   "-maxrate:v",
                                             "-bufsize", "-bufsize:v", "-minrate", "-minrate:v", "-rc_init_occupancy"};

struct CodecQuality {
    std::string_view codec;
    std::string_view quality; // the codec's own default, as good as it is usually asked for
    bool constrainedQuality;  // libvpx aims at its quality under -b:v, and takes no buffer
};
constexpr CodecQuality QualityCodecs[] = {
    {"libx264", "23", false},   {"libx264rgb", "23", false}, {"libx265", "28", false},
    {"libvpx-vp9", "32", true}, {"libvpx", "10", true},
};

bool oneOf(const std::string &parameter, std::span<const std::string_view> names)
{
    return std::find(names.begin(), names.end(), parameter) != names.end();
}

std::string bitsText(double bitsPerSecond)
{
    return std::to_string(std::llround(bitsPerSecond));
}

// A buffer of one second that starts half full: a short clip, which a full buffer would let
// spend a second's worth over the most, stays under it too.
std::vector<std::string> bufferSwitches(double ceiling)
{
    return {"-maxrate", bitsText(ceiling), "-bufsize", bitsText(ceiling), "-rc_init_occupancy", bitsText(ceiling / 2)};
}

} // namespace

std::optional<CappedRate> cappedRate(const std::vector<std::string> &parameters, double ceiling)
{
    if (copiesVideo(parameters) || std::find(parameters.begin(), parameters.end(), "-vn") != parameters.end())
        return std::nullopt;
    CappedRate capped;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (oneOf(parameters[i], RateSwitches))
            ++i; // and its value
        else
            capped.parameters.push_back(parameters[i]);
    }
    // The profile's own quality wins over ours.
    capped.quality = lastValue(capped.parameters, QualitySwitches);
    const std::string codec = lastValue(parameters, VideoCodecSwitches).value_or("");
    const auto known = std::find_if(std::begin(QualityCodecs), std::end(QualityCodecs),
                                    [&codec](const CodecQuality &entry) { return entry.codec == codec; });
    auto &out = capped.parameters;
    if (known != std::end(QualityCodecs)) {
        if (!capped.quality) {
            capped.quality = std::string(known->quality);
            out.insert(out.end(), {"-crf", *capped.quality});
        }
        if (known->constrainedQuality) {
            out.insert(out.end(), {"-b:v", bitsText(ceiling)});
            return capped;
        }
    } else if (!capped.quality) {
        // FFmpeg's own encoders keep a quality under a most poorly: a bit rate with the most as
        // its buffer lands closer under it.
        out.insert(out.end(), {"-b:v", bitsText(ceiling)});
    }
    const auto buffer = bufferSwitches(ceiling);
    out.insert(out.end(), buffer.begin(), buffer.end());
    return capped;
}

std::string cappedRateLine(const CappedRate &capped, double ceiling)
{
    const std::string most = "at most " + fixedDecimal(ceiling / 1000, 0) + " kb/s";
    return "video rate: " + (capped.quality ? "quality " + *capped.quality + ", " + most : most);
}

} // namespace encoder
