#include "core/protocol/tracks.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace protocol {

namespace {

constexpr std::string_view StreamMark = "Stream #0";
constexpr std::string_view TitleKey = "title";

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string lowerCase(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

TrackKind kindNamed(std::string_view name)
{
    for (TrackKind kind :
         {TrackKind::Video, TrackKind::Audio, TrackKind::Subtitle, TrackKind::Data, TrackKind::Attachment}) {
        if (kindName(kind) == name)
            return kind;
    }
    return TrackKind::Unknown;
}

struct Language {
    std::string_view code; // ISO 639 of any part, in lower case
    int number;            // one a language, whichever code names it
    std::string_view name;
};

constexpr Language Languages[] = {
#include "languages.inc"
};

// Nothing when the code names no language.
const Language *languageOf(std::string_view code)
{
    const std::string lower = lowerCase(code);
    const auto found =
        std::lower_bound(std::begin(Languages), std::end(Languages), lower,
                         [](const Language &language, const std::string &c) { return language.code < c; });
    return found != std::end(Languages) && found->code == lower ? &*found : nullptr;
}

} // namespace

// FFmpeg's codec names are short but not what people call the formats.
std::string codecLabel(const std::string &codec)
{
    static const std::map<std::string, std::string, std::less<>> names = {
        {"aac", "AAC"},          {"ac3", "AC-3"},
        {"eac3", "E-AC-3"},      {"dts", "DTS"},
        {"truehd", "TrueHD"},    {"mp3", "MP3"},
        {"mp2", "MP2"},          {"opus", "Opus"},
        {"vorbis", "Vorbis"},    {"flac", "FLAC"},
        {"alac", "ALAC"},        {"amr_nb", "AMR-NB"},
        {"amr_wb", "AMR-WB"},    {"wmav2", "WMA"},
        {"subrip", "SubRip"},    {"ass", "ASS"},
        {"ssa", "SSA"},          {"mov_text", "MP4 text"},
        {"webvtt", "WebVTT"},    {"text", "text"},
        {"dvd_subtitle", "DVD"}, {"hdmv_pgs_subtitle", "PGS"},
        {"dvb_subtitle", "DVB"}, {"xsub", "XSUB"},
        {"h264", "H.264"},       {"hevc", "H.265"},
        {"mpeg4", "MPEG-4"},     {"h263", "H.263"},
        {"vp8", "VP8"},          {"vp9", "VP9"},
        {"av1", "AV1"},          {"mpeg2video", "MPEG-2"},
        {"mjpeg", "MJPEG"},      {"png", "PNG"}};
    if (const auto found = names.find(codec); found != names.end())
        return found->second;
    if (codec.rfind("pcm_", 0) == 0)
        return "PCM";
    std::string upper = codec;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

namespace {

// "5.1(side)" is "5.1" to a listener.
std::string channelsLabel(const std::string &channels)
{
    return std::string(channels.substr(0, channels.find('(')));
}

// The line's flags in FFmpeg's form: " (default) (forced)" at its end.
void readFlags(std::string_view &rest, Track &track)
{
    for (;;) {
        rest = trimmed(rest);
        if (rest.size() >= 9 && rest.substr(rest.size() - 9) == "(default)") {
            track.isDefault = true;
            rest.remove_suffix(9);
        } else if (rest.size() >= 8 && rest.substr(rest.size() - 8) == "(forced)") {
            track.isForced = true;
            rest.remove_suffix(8);
        } else {
            return;
        }
    }
}

// "Stream #0:1(eng): Audio: ac3, 48000 Hz, 5.1(side) (default)" without its indent.
bool readStreamLine(std::string_view line, Track &track)
{
    if (line.substr(0, StreamMark.size()) != StreamMark)
        return false;
    line.remove_prefix(StreamMark.size());
    if (line.empty() || (line.front() != ':' && line.front() != '.'))
        return false;
    line.remove_prefix(1);
    std::size_t digits = 0;
    while (digits < line.size() && digits < 6 && std::isdigit(static_cast<unsigned char>(line[digits])))
        ++digits;
    if (digits == 0)
        return false;
    track.index = std::stoi(std::string(line.substr(0, digits)));
    line.remove_prefix(digits);
    // FFmpeg may add the stream's id in brackets before the language: "#0:1[0x1100](eng)".
    if (!line.empty() && line.front() == '[') {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos)
            return false;
        line.remove_prefix(close + 1);
    }
    if (!line.empty() && line.front() == '(') {
        const std::size_t close = line.find(')');
        if (close == std::string_view::npos)
            return false;
        const std::string language = lowerCase(line.substr(1, close - 1));
        track.language = language == "und" ? std::string() : language;
        line.remove_prefix(close + 1);
    }
    if (line.substr(0, 2) != ": ")
        return false;
    line.remove_prefix(2);
    const std::size_t kindEnd = line.find(": ");
    const std::size_t kindAlone = line.find(':');
    if (kindEnd == std::string_view::npos && kindAlone == std::string_view::npos)
        return false;
    track.kind = kindNamed(line.substr(0, std::min(kindEnd, kindAlone)));
    std::string_view rest = kindEnd == std::string_view::npos ? std::string_view() : line.substr(kindEnd + 2);
    readFlags(rest, track);
    const std::size_t comma = rest.find(", ");
    // FFmpeg adds the codec's profile and tag in brackets: "h264 (High) (avc1 / 0x31637661)".
    std::string_view codec = trimmed(rest.substr(0, comma));
    codec = codec.substr(0, codec.find(' '));
    track.codec = std::string(codec);
    track.details = comma == std::string_view::npos ? std::string() : std::string(trimmed(rest.substr(comma + 2)));
    if (track.kind == TrackKind::Audio) {
        // "48000 Hz, 5.1(side), fltp, 384 kb/s": the layout follows the rate.
        const std::size_t hz = track.details.find(" Hz, ");
        if (hz != std::string::npos) {
            const std::string after = track.details.substr(hz + 5);
            track.channels = after.substr(0, after.find(", "));
        }
    }
    return true;
}

} // namespace

std::string_view kindName(TrackKind kind)
{
    switch (kind) {
    case TrackKind::Video:
        return "Video";
    case TrackKind::Audio:
        return "Audio";
    case TrackKind::Subtitle:
        return "Subtitle";
    case TrackKind::Data:
        return "Data";
    case TrackKind::Attachment:
        return "Attachment";
    case TrackKind::Unknown:
        break;
    }
    return "Unknown";
}

bool isPictureSubtitle(std::string_view codec)
{
    return codec == "dvd_subtitle" || codec == "hdmv_pgs_subtitle" || codec == "dvb_subtitle" || codec == "xsub";
}

std::vector<std::string> streamListing(const Track &track)
{
    std::string line = "    Stream #0:" + std::to_string(track.index);
    if (!track.language.empty())
        line += "(" + track.language + ")";
    line += ": " + std::string(kindName(track.kind)) + ": " + track.codec;
    if (!track.details.empty())
        line += ", " + track.details;
    if (track.isDefault)
        line += " (default)";
    if (track.isForced)
        line += " (forced)";
    std::vector<std::string> lines{line};
    if (!track.title.empty()) {
        // A title is one line of the listing whatever it holds.
        std::string title = track.title;
        std::replace_if(
            title.begin(), title.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
        lines.push_back("      Metadata:");
        lines.push_back("        title           : " + title);
    }
    return lines;
}

std::vector<Track> tracksOfReport(std::string_view report)
{
    std::vector<Track> tracks;
    bool inMetadata = false;
    while (!report.empty()) {
        const std::size_t end = report.find('\n');
        std::string_view line = report.substr(0, end);
        report = end == std::string_view::npos ? std::string_view() : report.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string_view text = trimmed(line);
        Track track;
        if (readStreamLine(text, track)) {
            tracks.push_back(std::move(track));
            inMetadata = false;
        } else if (text == "Metadata:") {
            inMetadata = !tracks.empty();
        } else if (inMetadata && text.substr(0, TitleKey.size()) == TitleKey) {
            const std::size_t colon = text.find(':');
            if (colon != std::string_view::npos &&
                trimmed(text.substr(TitleKey.size(), colon - TitleKey.size())).empty())
                tracks.back().title = std::string(trimmed(text.substr(colon + 1)));
        } else if (line.size() < 6 || line.substr(0, 6) != "      ") {
            // A metadata block is indented deeper than the stream line it belongs to.
            inMetadata = false;
        }
    }
    return tracks;
}

std::string languageName(std::string_view code)
{
    if (code.empty() || code == "und")
        return {};
    const Language *language = languageOf(code);
    return std::string(language ? language->name : code);
}

bool sameLanguage(std::string_view a, std::string_view b)
{
    if (lowerCase(a) == lowerCase(b))
        return true;
    const Language *first = languageOf(a);
    const Language *second = languageOf(b);
    return first && second && first->number == second->number;
}

std::vector<std::string> languageList(std::string_view commaSeparated)
{
    std::vector<std::string> codes;
    while (!commaSeparated.empty()) {
        const std::size_t comma = commaSeparated.find(',');
        const std::string_view code = trimmed(commaSeparated.substr(0, comma));
        if (!code.empty())
            codes.push_back(lowerCase(code));
        commaSeparated = comma == std::string_view::npos ? std::string_view() : commaSeparated.substr(comma + 1);
    }
    return codes;
}

std::string trackLabel(const Track &track)
{
    std::string label = std::to_string(track.index) + ":";
    if (const std::string language = languageName(track.language); !language.empty())
        label += " " + language;
    label += " " + codecLabel(track.codec);
    if (track.kind == TrackKind::Audio && !track.channels.empty())
        label += " " + channelsLabel(track.channels);
    if (!track.title.empty())
        label += " \"" + track.title + "\"";
    if (track.isForced)
        label += " (forced)";
    return label;
}

} // namespace protocol
