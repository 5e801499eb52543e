#include "tracks/trackarguments.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace encoder {

namespace {

using protocol::TrackKind;

bool isVideoFilterSwitch(const std::string &name)
{
    return name == "-vf" || name == "-filter:v" || name == "-filter:v:0";
}

// Takes the profile's video filters out; FFmpeg would use only the last one.
std::optional<std::string> takeVideoFilter(std::vector<std::string> &parameters)
{
    std::optional<std::string> filter;
    for (auto at = parameters.begin(); at != parameters.end();) {
        if (isVideoFilterSwitch(*at) && std::next(at) != parameters.end()) {
            filter = *std::next(at);
            at = parameters.erase(at, std::next(at, 2));
        } else {
            ++at;
        }
    }
    return filter;
}

std::string subtitleDisposition(const PlannedTrack &planned, bool picked)
{
    if (planned.track.isForced)
        return planned.track.isDefault || picked ? "default+forced" : "forced";
    return picked ? "default" : "0";
}

void addMetadata(std::vector<std::string> &arguments, const std::string &stream, const protocol::Track &track)
{
    if (!track.language.empty())
        arguments.insert(arguments.end(), {"-metadata:s:" + stream, "language=" + track.language});
    if (!track.title.empty())
        arguments.insert(arguments.end(), {"-metadata:s:" + stream, "title=" + track.title});
}

} // namespace

std::string subtitlesFilter(const std::string &path, int subtitleOrdinal)
{
    // The option parser reads a quoted value whole; a quote inside closes, escapes and reopens.
    std::string quoted = "'";
    for (const char c : "file:" + path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    // The filtergraph parser reads first and takes one level of quotes and backslashes away.
    std::string escaped;
    for (const char c : quoted) {
        if (std::strchr("\\'[],;", c))
            escaped += '\\';
        escaped += c;
    }
    return "subtitles=filename=" + escaped + ":si=" + std::to_string(subtitleOrdinal);
}

std::vector<std::string> trackArguments(const TrackPlan &plan, const OutputTraits &output, const std::string &input,
                                        std::vector<std::string> &parameters)
{
    std::vector<std::string> arguments;
    const PlannedTrack *burned = nullptr;
    int burnedOrdinal = 0;
    int subtitleOrdinal = 0;
    for (const PlannedTrack &planned : plan.tracks) {
        if (planned.fate == TrackFate::Burned) {
            burned = &planned;
            burnedOrdinal = subtitleOrdinal;
        }
        subtitleOrdinal += planned.track.kind == TrackKind::Subtitle;
    }

    int audio = 0;
    int subtitles = 0;
    for (const PlannedTrack &planned : plan.tracks) {
        if (planned.fate != TrackFate::Kept)
            continue;
        const protocol::Track &track = planned.track;
        const std::string stream = "0:" + std::to_string(track.index);
        if (track.kind == TrackKind::Video && burned) {
            const std::optional<std::string> profileFilter = takeVideoFilter(parameters);
            const std::string after = profileFilter ? "," + *profileFilter : std::string();
            if (protocol::isPictureSubtitle(burned->track.codec)) {
                // The pictures are drawn for a frame of their own size: they are fitted to the video's.
                const std::string subtitle = "0:" + std::to_string(burned->track.index);
                arguments.insert(arguments.end(), {"-filter_complex",
                                                   "[" + subtitle + "][" + stream +
                                                       "]scale2ref[subtitle][video];[video][subtitle]"
                                                       "overlay=eof_action=pass" +
                                                       after + "[burned]",
                                                   "-map", "[burned]"});
            } else {
                arguments.insert(arguments.end(),
                                 {"-map", stream, "-vf", subtitlesFilter(input, burnedOrdinal) + after});
            }
            continue;
        }
        arguments.insert(arguments.end(), {"-map", stream});
        if (track.kind == TrackKind::Audio) {
            const std::string ordinal = std::to_string(audio++);
            arguments.insert(arguments.end(), {"-disposition:a:" + ordinal, ordinal == "0" ? "default" : "0"});
            addMetadata(arguments, "a:" + ordinal, track);
        } else if (track.kind == TrackKind::Subtitle) {
            const std::string ordinal = std::to_string(subtitles++);
            arguments.insert(arguments.end(), {"-c:s:" + ordinal, output.subtitleCodec});
            arguments.insert(arguments.end(),
                             {"-disposition:s:" + ordinal, subtitleDisposition(planned, plan.picked == track.index)});
            addMetadata(arguments, "s:" + ordinal, track);
        }
    }
    return arguments;
}

} // namespace encoder
