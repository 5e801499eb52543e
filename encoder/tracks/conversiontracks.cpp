#include "tracks/conversiontracks.h"

#include "console.h"
#include "conversionplan.h"
#include "probe/probereport.h"
#include "tracks/trackarguments.h"
#include "tracks/trackplan.h"

#include <algorithm>

namespace encoder {

namespace {

bool mapsOwnStreams(const std::vector<std::string> &parameters)
{
    return std::any_of(parameters.begin(), parameters.end(), [](const std::string &parameter) {
        return parameter == "-map" || parameter.rfind("-map:", 0) == 0 || parameter == "-filter_complex" ||
               parameter == "-lavfi";
    });
}

OutputTraits conversionOutput(const ConversionRequest &request, const std::vector<std::string> &container)
{
    const MuxerKinds kinds = muxerKinds(request, container).value_or(MuxerKinds{true, true});
    return outputTraits(muxerName(request, container).value_or(""), kinds.video, kinds.audio);
}

} // namespace

std::optional<TrackPlan> conversionTrackPlan(const ConversionRequest &request,
                                             const std::vector<std::string> &container, const MediaProbe &probe)
{
    if (mapsOwnStreams(request.parameters) || !probe.info)
        return std::nullopt;
    std::vector<InputTrack> input;
    for (std::size_t i = 0; i < probe.info->streams.size(); ++i)
        input.push_back({streamTrack(i, probe.info->streams[i]), probe.info->streams[i].attachedPicture});
    return planTracks(input, request.tracks, conversionOutput(request, container), request.parameters);
}

void planConversionTracks(ConversionRequest &request, const std::vector<std::string> &container,
                          const MediaProbe &probe)
{
    if (mapsOwnStreams(request.parameters)) {
        printError("The profile maps its own streams: its tracks are kept as it says");
        return;
    }
    const std::optional<TrackPlan> plan = conversionTrackPlan(request, container, probe);
    if (!plan)
        return; // FFmpeg says why, in its own words
    for (const std::string &line : planLines(*plan))
        printError(line);
    request.trackArguments =
        trackArguments(*plan, conversionOutput(request, container), request.input, request.parameters);
    request.plannedTracks = plan->counts;
}

} // namespace encoder
