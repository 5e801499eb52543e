#include "tracks/trackplan.h"

#include <algorithm>
#include <map>
#include <set>

namespace encoder {

namespace {

using protocol::Track;
using protocol::TrackKind;
using Tracks = std::vector<const Track *>;

bool has(const std::vector<std::string> &parameters, const char *name)
{
    return std::find(parameters.begin(), parameters.end(), name) != parameters.end();
}

std::string audioRuleText(AudioRule rule)
{
    switch (rule) {
    case AudioRule::Languages:
        return "All preferred languages";
    case AudioRule::All:
        return "All";
    case AudioRule::Preferred:
        break;
    }
    return "Preferred language";
}

std::string subtitleRuleText(SubtitleRule rule)
{
    switch (rule) {
    case SubtitleRule::None:
        return "None";
    case SubtitleRule::Forced:
        return "Forced only";
    case SubtitleRule::All:
        return "All";
    case SubtitleRule::Preferred:
        break;
    }
    return "Preferred language";
}

bool inLanguages(const Track &track, const std::vector<std::string> &languages)
{
    return std::any_of(languages.begin(), languages.end(),
                       [&track](const std::string &code) { return protocol::sameLanguage(track.language, code); });
}

// The first track in the first preferred language that any track has.
const Track *firstInLanguages(const Tracks &tracks, const std::vector<std::string> &languages)
{
    for (const std::string &code : languages) {
        for (const Track *track : tracks) {
            if (protocol::sameLanguage(track->language, code))
                return track;
        }
    }
    return nullptr;
}

// Without a preferred language that any track has: the default-flagged one, else the first.
const Track *preferredOrDefault(const Tracks &tracks, const std::vector<std::string> &languages)
{
    if (const Track *preferred = firstInLanguages(tracks, languages))
        return preferred;
    const auto flagged =
        std::find_if(tracks.begin(), tracks.end(), [](const Track *track) { return track->isDefault; });
    if (flagged != tracks.end())
        return *flagged;
    return tracks.empty() ? nullptr : tracks.front();
}

const Track *picked(const Tracks &tracks, const std::optional<std::string> &pick)
{
    if (!pick || *pick == "all" || *pick == "none")
        return nullptr;
    const int index = std::stoi(*pick);
    const auto found =
        std::find_if(tracks.begin(), tracks.end(), [index](const Track *t) { return t->index == index; });
    return found == tracks.end() ? nullptr : *found;
}

Tracks audioChoice(const Tracks &audio, const TrackRequest &request)
{
    if (request.audioPick == "all")
        return audio;
    if (const Track *track = picked(audio, request.audioPick))
        return {track};
    if (request.audio == AudioRule::All)
        return audio;
    if (request.audio == AudioRule::Languages) {
        Tracks chosen;
        std::copy_if(audio.begin(), audio.end(), std::back_inserter(chosen),
                     [&request](const Track *track) { return inLanguages(*track, request.audioLanguages); });
        if (!chosen.empty())
            return chosen;
    }
    const Track *one = preferredOrDefault(audio, request.audioLanguages);
    return one ? Tracks{one} : Tracks{};
}

bool audioPicked(const Tracks &audio, const TrackRequest &request)
{
    return request.audioPick == "all" || picked(audio, request.audioPick);
}

bool subtitlePicked(const Tracks &subtitles, const TrackRequest &request)
{
    return request.subtitlePick == "all" || request.subtitlePick == "none" || picked(subtitles, request.subtitlePick);
}

Tracks subtitleChoice(const Tracks &subtitles, const TrackRequest &request)
{
    if (request.subtitlePick == "all")
        return subtitles;
    if (request.subtitlePick == "none")
        return {};
    if (const Track *track = picked(subtitles, request.subtitlePick))
        return {track};
    Tracks chosen;
    switch (request.subtitles) {
    case SubtitleRule::None:
        break;
    case SubtitleRule::All:
        chosen = subtitles;
        break;
    case SubtitleRule::Forced:
        std::copy_if(subtitles.begin(), subtitles.end(), std::back_inserter(chosen),
                     [](const Track *track) { return track->isForced; });
        break;
    case SubtitleRule::Preferred:
        // With languages preferred, none of them means no subtitle; without, the input's own choice.
        if (const Track *one = request.subtitleLanguages.empty()
                                   ? preferredOrDefault(subtitles, {})
                                   : firstInLanguages(subtitles, request.subtitleLanguages))
            chosen = {one};
        break;
    }
    return chosen;
}

const Track *burnChoice(const Tracks &subtitles, const Tracks &chosen, const TrackRequest &request)
{
    if (request.burn == BurnRule::Forced) {
        Tracks forced;
        std::copy_if(subtitles.begin(), subtitles.end(), std::back_inserter(forced),
                     [](const Track *track) { return track->isForced; });
        if (const Track *preferred = firstInLanguages(forced, request.subtitleLanguages))
            return preferred;
        return forced.empty() ? nullptr : forced.front();
    }
    if (request.burn == BurnRule::Yes)
        return !chosen.empty() ? chosen.front() : preferredOrDefault(subtitles, request.subtitleLanguages);
    return nullptr;
}

bool contains(const Tracks &tracks, const Track *track)
{
    return std::find(tracks.begin(), tracks.end(), track) != tracks.end();
}

} // namespace

OutputTraits outputTraits(const std::string &muxer, bool video, bool audio)
{
    static const std::map<std::string, std::string> names = {
        {"mp4", "MP4"},      {"3gp", "3GP"},   {"3g2", "3G2"}, {"mov", "MOV"}, {"ipod", "M4V"},
        {"matroska", "MKV"}, {"webm", "WebM"}, {"avi", "AVI"}, {"asf", "WMV"}, {"mp3", "MP3"},
        {"wav", "WAV"},      {"adts", "AAC"},  {"amr", "AMR"}, {"flv", "FLV"}, {"mpeg", "MPEG"}};
    static const std::set<std::string> oneAudio = {"mp3", "wav",  "adts", "amr", "ac3", "eac3", "flac",
                                                   "mp2", "aiff", "au",   "w64", "wv",  "tta"};
    OutputTraits traits;
    const auto named = names.find(muxer);
    traits.name = named != names.end() ? named->second : muxer;
    traits.video = video;
    traits.audio = audio;
    traits.oneAudio = oneAudio.count(muxer) > 0;
    if (muxer == "mp4" || muxer == "3gp" || muxer == "3g2" || muxer == "mov" || muxer == "ipod") {
        traits.textSubtitles = true;
        traits.subtitleCodec = "mov_text";
    } else if (muxer == "webm") {
        traits.textSubtitles = true;
        traits.subtitleCodec = "webvtt";
    } else if (muxer == "matroska") {
        traits.textSubtitles = traits.pictureSubtitles = traits.attachments = true;
        traits.subtitleCodec = "copy";
    }
    return traits;
}

TrackPlan planTracks(const std::vector<InputTrack> &input, const TrackRequest &request, const OutputTraits &output,
                     const std::vector<std::string> &parameters)
{
    Tracks videos;
    Tracks audio;
    Tracks subtitles;
    for (const InputTrack &entry : input) {
        if (entry.track.kind == TrackKind::Video && !entry.coverArt)
            videos.push_back(&entry.track);
        else if (entry.track.kind == TrackKind::Audio)
            audio.push_back(&entry.track);
        else if (entry.track.kind == TrackKind::Subtitle)
            subtitles.push_back(&entry.track);
    }
    const bool keepsVideo = output.video && !has(parameters, "-vn") && !videos.empty();
    const Track *video = keepsVideo ? videos.front() : nullptr;
    const Tracks chosenAudio = output.audio && !has(parameters, "-an") ? audioChoice(audio, request) : Tracks{};
    const Tracks chosenSubtitles = subtitleChoice(subtitles, request);
    const Track *burned = video ? burnChoice(subtitles, chosenSubtitles, request) : nullptr;

    TrackPlan plan;
    plan.burned = burned ? std::optional(burned->index) : std::nullopt;
    if (const Track *pick = picked(subtitles, request.subtitlePick))
        plan.picked = pick->index;
    int keptAudio = 0;
    for (const InputTrack &entry : input) {
        const Track &track = entry.track;
        PlannedTrack planned{track, TrackFate::LeftOut, {}};
        const auto keep = [&planned] { planned.fate = TrackFate::Kept; };
        switch (track.kind) {
        case TrackKind::Video:
            if (&track == video)
                keep();
            else if (entry.coverArt)
                planned.reason = ", as it is cover art";
            else if (!output.video)
                planned.reason = ", as " + output.name + " holds no video";
            else if (has(parameters, "-vn"))
                planned.reason = ", by Disable Video";
            else
                planned.reason = ", as the output keeps one video track";
            break;
        case TrackKind::Audio:
            if (!output.audio)
                planned.reason = ", as " + output.name + " holds no audio";
            else if (has(parameters, "-an"))
                planned.reason = ", by Disable Audio";
            else if (!contains(chosenAudio, &track))
                planned.reason = audioPicked(audio, request) ? ", by the task's Audio Track choice"
                                                             : ", by Audio Tracks = " + audioRuleText(request.audio);
            else if (output.oneAudio && keptAudio > 0)
                planned.reason = ", as " + output.name + " holds one audio track";
            else
                keep(), ++keptAudio;
            break;
        case TrackKind::Subtitle: {
            const bool picture = protocol::isPictureSubtitle(track.codec);
            if (&track == burned)
                planned.fate = TrackFate::Burned;
            else if (!contains(chosenSubtitles, &track))
                planned.reason = subtitlePicked(subtitles, request)
                                     ? ", by the task's Subtitle Track choice"
                                     : ", by Subtitles = " + subtitleRuleText(request.subtitles);
            else if (has(parameters, "-sn"))
                planned.reason = ", by Disable Subtitles";
            else if (!output.textSubtitles)
                planned.reason = ", as " + output.name + " holds no subtitle track";
            else if (picture && !output.pictureSubtitles)
                planned.reason = ", as " + output.name + " holds no picture subtitle";
            else
                keep();
            break;
        }
        case TrackKind::Attachment:
            if (output.attachments)
                keep();
            else
                planned.reason = ", as " + output.name + " holds no attachment";
            break;
        default:
            planned.reason = ", as the output keeps no data track";
            break;
        }
        if (planned.fate == TrackFate::Kept) {
            plan.counts.video += track.kind == TrackKind::Video;
            plan.counts.audio += track.kind == TrackKind::Audio;
            plan.counts.subtitle += track.kind == TrackKind::Subtitle;
        }
        plan.tracks.push_back(std::move(planned));
    }
    return plan;
}

std::vector<std::string> planLines(const TrackPlan &plan)
{
    std::vector<std::string> lines;
    for (const PlannedTrack &planned : plan.tracks) {
        const std::string label = protocol::trackLabel(planned.track);
        switch (planned.fate) {
        case TrackFate::Kept:
            lines.push_back("kept: " + label);
            break;
        case TrackFate::Burned:
            lines.push_back("burned in: " + label);
            break;
        case TrackFate::LeftOut:
            lines.push_back("left out: " + label + planned.reason);
            break;
        }
    }
    return lines;
}

} // namespace encoder
