#include "rate/audioceiling.h"

#include "console.h"
#include "fit/fitparameters.h"

#include <algorithm>
#include <cmath>

namespace encoder {

std::optional<double> audioCeiling(const std::vector<std::string> &parameters, const MediaInfo &input)
{
    const auto given = audioBitRate(parameters);
    if (!given || !given->given || copiesAudio(parameters))
        return std::nullopt;
    double highest = 0;
    for (const StreamInfo &stream : input.streams) {
        if (stream.kind != "Audio")
            continue;
        if (!stream.bitRate)
            return std::nullopt;
        highest = std::max(highest, double(*stream.bitRate));
    }
    const double ceiling = std::ceil(std::max(highest, LeastAudioCeiling) / 1000) * 1000;
    if (highest == 0 || ceiling >= given->bitsPerSecond)
        return std::nullopt;
    return ceiling;
}

void planAudioCeiling(ConversionRequest &request, const MediaProbe &probe)
{
    if (request.fit || !probe.info)
        return;
    const auto ceiling = audioCeiling(request.parameters, *probe.info);
    if (!ceiling)
        return;
    const std::string kbps = std::to_string(std::lround(*ceiling / 1000));
    setAudioBitRate(request.parameters, kbps + "k");
    printError("audio rate: at most " + kbps + " kb/s, as the input has");
}

} // namespace encoder
