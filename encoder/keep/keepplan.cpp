#include "keep/keepplan.h"

#include "console.h"
#include "fit/fitbudget.h"
#include "fit/fitparameters.h"
#include "fit/fitsize.h"
#include "keep/keeprules.h"
#include "probe/probereport.h"
#include "tracks/conversiontracks.h"

#include <algorithm>
#include <filesystem>

namespace encoder {

namespace {

// -1 when the file cannot be looked at.
std::int64_t fileBytes(const std::string &path)
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    return error ? -1 : std::int64_t(bytes);
}

// Switches that only the video's encoder reads; -profile:v even fails a copied stream.
const std::vector<std::string> VideoEncoderSwitches = {
    "-c:v",         "-codec:v",   "-vcodec",   "-s",        "-b:v",     "-vb",       "-r",    "-preset",
    "-pix_fmt",     "-profile:v", "-vprofile", "-level",    "-level:v", "-crf",      "-tune", "-x264-params",
    "-x265-params", "-cpu-used",  "-row-mt",   "-deadline", "-q:v",     "-qscale:v",
};
const std::vector<std::string> AudioCodecSwitches = {"-c:a", "-codec:a", "-acodec"};

void eraseSwitches(std::vector<std::string> &parameters, const std::vector<std::string> &names)
{
    for (auto at = parameters.begin(); at != parameters.end();) {
        if (std::next(at) != parameters.end() && std::find(names.begin(), names.end(), *at) != names.end())
            at = parameters.erase(at, std::next(at, 2));
        else
            ++at;
    }
}

std::string streamLabel(std::size_t index, const StreamInfo &stream)
{
    std::string label = protocol::trackLabel(streamTrack(index, stream));
    if (stream.kind == "Video")
        label += " " + std::to_string(stream.width) + "x" + std::to_string(stream.height);
    return label;
}

// A reason every stream shares: the file is cut, or must be converted into a size.
std::optional<std::string> wholeFileReason(const ConversionRequest &request)
{
    if (lastValue(request.parameters, {"-ss", "-t", "-to"}))
        return std::string("only a part of the file is converted");
    if (!request.fit)
        return std::nullopt;
    const auto size = parseFitSize(*request.fit);
    const std::int64_t bytes = fileBytes(request.input);
    if (!size || bytes <= 0 || double(bytes) > size->bytes)
        return "the file is over Target Size" + (size ? " " + givenText(*size) : std::string());
    return std::nullopt;
}

bool hasCandidate(const TrackPlan &plan, const MediaInfo &input, const std::vector<std::string> &parameters)
{
    const auto video = lastValue(parameters, {"-c:v", "-codec:v", "-vcodec"});
    const auto audio = lastValue(parameters, {"-c:a", "-codec:a", "-acodec"});
    return std::any_of(plan.tracks.begin(), plan.tracks.end(), [&](const PlannedTrack &planned) {
        const StreamInfo &stream = input.streams[std::size_t(planned.track.index)];
        const auto &encoder = stream.kind == "Video" ? video : audio;
        return planned.fate == TrackFate::Kept && encoder && codecOfEncoder(*encoder) == stream.codec;
    });
}

// Whether copying what can be copied and converting the rest as the profile says gives a file
// under the size: the file is under it, its video is copied, and its converted audio at the
// profile's rate does not take it over.
bool sizeMetWithoutFit(const ConversionRequest &request, const std::vector<StreamKeep> &streams, const MediaInfo &input)
{
    if (streams.empty() || wholeFileReason(request) || !input.durationSeconds)
        return false;
    double bytes = double(std::max<std::int64_t>(0, fileBytes(request.input)));
    for (const StreamKeep &keep : streams) {
        if (keep.reason.empty())
            continue;
        const auto rate = audioBitRate(request.parameters);
        if (keep.video || !rate)
            return false; // a converted video's size is not known before it is made
        const StreamInfo &stream = input.streams[std::size_t(keep.index)];
        bytes += (rate->bitsPerSecond - double(stream.bitRate.value_or(0))) * *input.durationSeconds / 8;
    }
    const auto size = parseFitSize(*request.fit);
    return size && bytes <= size->bytes * (1 - FitMargin);
}

std::vector<StreamKeep> decide(const ConversionRequest &request, const TrackPlan &plan, const MediaInfo &input)
{
    const std::optional<std::string> whole = wholeFileReason(request);
    std::vector<StreamKeep> streams;
    int audio = 0;
    for (const PlannedTrack &planned : plan.tracks) {
        const StreamInfo &stream = input.streams[std::size_t(planned.track.index)];
        if (planned.fate != TrackFate::Kept || (stream.kind != "Video" && stream.kind != "Audio"))
            continue;
        StreamKeep keep{planned.track.index,
                        std::nullopt,
                        stream.kind == "Video",
                        streamLabel(std::size_t(planned.track.index), stream),
                        {}};
        std::optional<std::string> reason = whole;
        if (keep.video) {
            if (!reason && plan.burned)
                reason = "a subtitle is burned in";
            if (!reason)
                reason = videoConversionReason(stream, input, request.parameters, request.streams);
        } else {
            keep.ordinal = audio++;
            if (!reason)
                reason = audioConversionReason(stream, request.parameters);
        }
        keep.reason = reason.value_or("");
        streams.push_back(keep);
    }
    // A conversion into a size converts the whole file, unless the file is under the size already
    // and what is converted cannot take it over.
    if (request.fit && !sizeMetWithoutFit(request, streams, input)) {
        for (StreamKeep &keep : streams) {
            if (keep.reason.empty())
                keep.reason = "Target Size converts the whole file";
        }
    }
    return streams;
}

} // namespace

std::string keepLine(const StreamKeep &stream)
{
    return stream.reason.empty() ? "copied: " + stream.label
                                 : "converted: " + stream.label + " (" + stream.reason + ")";
}

void applyKeep(std::vector<std::string> &parameters, const std::vector<StreamKeep> &streams)
{
    const bool videoCopied =
        std::any_of(streams.begin(), streams.end(), [](const StreamKeep &s) { return s.video && s.reason.empty(); });
    const bool audioCopied =
        std::any_of(streams.begin(), streams.end(), [](const StreamKeep &s) { return !s.video && s.reason.empty(); });
    if (videoCopied) {
        eraseSwitches(parameters, VideoEncoderSwitches);
        parameters.insert(parameters.end(), {"-c:v", "copy"});
    }
    if (!audioCopied)
        return;
    // One codec per output stream: FFmpeg warns of a later switch overriding an earlier one.
    const std::string codec = lastValue(parameters, {"-c:a", "-codec:a", "-acodec"}).value_or("copy");
    eraseSwitches(parameters, AudioCodecSwitches);
    for (const StreamKeep &keep : streams) {
        if (keep.ordinal)
            parameters.insert(parameters.end(),
                              {"-c:a:" + std::to_string(*keep.ordinal), keep.reason.empty() ? "copy" : codec});
    }
}

void keepCompatibleStreams(ConversionRequest &request, const std::vector<std::string> &container,
                           const MediaProbe &probe)
{
    if (!request.streams.keepCompatible)
        return;
    const std::optional<TrackPlan> plan = conversionTrackPlan(request, container, probe);
    if (!plan)
        return; // the profile maps its own streams, or FFmpeg will say why the input cannot be read
    const MediaInfo *input = &*probe.info;
    // The quick look may not know a stream's profile, level or rate; only a candidate pays for
    // reading further.
    MediaProbe full;
    if (probe.depth != ProbeDepth::Full && hasCandidate(*plan, *input, request.parameters)) {
        full = probeMedia(request.input, ProbeDepth::Full);
        if (full.info && full.info->streams.size() == input->streams.size())
            input = &*full.info;
    }
    const std::vector<StreamKeep> streams = decide(request, *plan, *input);
    for (const StreamKeep &keep : streams)
        printError(keepLine(keep));
    applyKeep(request.parameters, streams);
    // Nothing is left to fit when what is copied and converted is under the size already.
    if (request.fit && sizeMetWithoutFit(request, streams, *input))
        request.fit.reset();
}

} // namespace encoder
