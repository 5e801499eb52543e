#include "probe/probereport.h"

#include "core/protocol/durationtext.h"
#include "decimaltext.h"

#include <algorithm>

namespace encoder {

namespace {

std::string withoutCommas(std::string text)
{
    std::replace(text.begin(), text.end(), ',', ' ');
    return text;
}

std::string durationLine(const MediaInfo &info)
{
    const std::string duration =
        info.durationSeconds ? protocol::durationText(*info.durationSeconds) : std::string("N/A");
    const std::string start = info.startSeconds ? fixedDecimal(*info.startSeconds, 6) : std::string("N/A");
    const std::string bitRate = info.bitRate ? std::to_string(*info.bitRate / 1000) + " kb/s" : std::string("N/A");
    return "  Duration: " + duration + ", start: " + start + ", bitrate: " + bitRate;
}

std::string streamDetails(const StreamInfo &stream)
{
    std::string details = stream.kind + ": " + withoutCommas(stream.codec);
    if (stream.kind == "Video") {
        const std::string rate = stream.framesPerSecond ? fixedDecimal(*stream.framesPerSecond, 2) : std::string("N/A");
        details += ", " + withoutCommas(stream.pixelFormat) + ", " + std::to_string(stream.width) + "x" +
                   std::to_string(stream.height) + ", " + rate + " fps";
    } else if (stream.kind == "Audio") {
        details += ", " + std::to_string(stream.sampleRate) + " Hz, " + withoutCommas(stream.channels);
    }
    return details;
}

} // namespace

std::vector<std::string> probeReportLines(const std::string &path, const MediaInfo &info)
{
    std::vector<std::string> lines;
    lines.push_back("Input #0, " + info.formatName + ", from '" + path + "':");
    lines.push_back(durationLine(info));
    for (std::size_t i = 0; i < info.streams.size(); ++i)
        lines.push_back("    Stream #0." + std::to_string(i) + ": " + streamDetails(info.streams[i]));
    return lines;
}

std::string probeFailureLine(const std::string &path, const std::string &reason)
{
    return "Cannot open '" + path + "': " + reason;
}

} // namespace encoder
