#include "probe/probereport.h"

#include "core/protocol/durationtext.h"
#include "decimaltext.h"
#include "probe/probefacts.h"

#include <algorithm>
#include <cctype>

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
    if (stream.kind == "Video") {
        const std::string rate = stream.framesPerSecond ? fixedDecimal(*stream.framesPerSecond, 2) : std::string("N/A");
        return withoutCommas(stream.pixelFormat) + ", " + std::to_string(stream.width) + "x" +
               std::to_string(stream.height) + ", " + rate + " fps";
    }
    if (stream.kind == "Audio")
        return std::to_string(stream.sampleRate) + " Hz, " + withoutCommas(stream.channels);
    return {};
}

protocol::TrackKind kindOf(const std::string &kind)
{
    using protocol::TrackKind;
    for (TrackKind known :
         {TrackKind::Video, TrackKind::Audio, TrackKind::Subtitle, TrackKind::Data, TrackKind::Attachment}) {
        if (protocol::kindName(known) == kind)
            return known;
    }
    return TrackKind::Unknown;
}

// A language tag is one word of letters; anything else would break the stream line apart.
std::string languageTag(const std::string &tag)
{
    const bool word =
        !tag.empty() && std::all_of(tag.begin(), tag.end(), [](unsigned char c) { return std::isalpha(c); });
    return word ? tag : std::string();
}

} // namespace

protocol::Track streamTrack(std::size_t index, const StreamInfo &stream)
{
    protocol::Track track;
    track.index = int(index);
    track.kind = kindOf(stream.kind);
    track.codec = withoutCommas(stream.codec);
    std::replace(track.codec.begin(), track.codec.end(), ' ', '_');
    track.language = languageTag(stream.language);
    if (track.language == "und")
        track.language.clear();
    track.title = stream.title;
    track.details = streamDetails(stream);
    track.channels = stream.kind == "Audio" ? withoutCommas(stream.channels) : std::string();
    track.isDefault = stream.isDefault;
    track.isForced = stream.isForced;
    return track;
}

std::vector<std::string> probeReportLines(const std::string &path, const MediaInfo &info)
{
    std::vector<std::string> lines;
    lines.push_back("Input #0, " + info.formatName + ", from '" + path + "':");
    lines.push_back(durationLine(info));
    for (std::size_t i = 0; i < info.streams.size(); ++i) {
        const auto listing = protocol::streamListing(streamTrack(i, info.streams[i]));
        lines.insert(lines.end(), listing.begin(), listing.end());
    }
    if (std::string facts = factsLine(path, info); !facts.empty())
        lines.push_back(std::move(facts));
    return lines;
}

std::string probeFailureLine(const std::string &path, const std::string &reason)
{
    return "Cannot open '" + path + "': " + reason;
}

} // namespace encoder
