#include "conversion.h"

#include "argumentcheck.h"
#include "console.h"
#include "conversionplan.h"
#include "core/platform/stopsignals.h"
#include "ffmpeg/ffmpeglocator.h"
#include "ffmpeg/ffmpegrun.h"
#include "fit/fitconversion.h"
#include "keep/keepplan.h"
#include "partfile.h"
#include "probe/mediainfo.h"
#include "probe/probefacts.h"
#include "rate/audioceiling.h"
#include "rate/videoceiling.h"
#include "shape/conversionshape.h"
#include "tracks/conversiontracks.h"
#include "verdict/verdict.h"

#include <algorithm>
#include <optional>

namespace encoder {

namespace {

// FFmpeg is given nothing it would read or write besides the input and the part file.
std::optional<std::string> refusal(const ConversionRequest &request, const std::vector<std::string> &container)
{
    const std::vector<std::string> arguments = ffmpegArguments(request, container);
    const auto input = std::find(arguments.begin(), arguments.end(), "-i");
    const auto from = std::size_t(std::distance(arguments.begin(), input)) + 2;
    return argumentsRefusal(arguments, from, from + request.parameters.size());
}

int runPlain(const ConversionRequest &request, const std::string &ffmpeg, const std::vector<std::string> &container)
{
    platform::StopSignals stops;
    FfmpegRun run(ffmpeg, ffmpegArguments(request, container));
    return conclude(request, container, run.run(stops));
}

// The run's own probe of the input, when it is there and the file has not changed since: opening
// the input here would load the libraries FFmpeg is about to load again.
MediaProbe sourceProbe(const ConversionRequest &request, ProbeDepth depth)
{
    if (!request.sourceFacts.empty()) {
        if (auto facts = factsOf(request.input, request.sourceFacts))
            return {std::move(facts), {}, ProbeDepth::Full};
    }
    return probeMedia(request.input, depth);
}

} // namespace

int runConversion(const ConversionRequest &request)
{
    const std::string ffmpeg = locateFfmpeg();
    if (ffmpeg.empty()) {
        printError("FFmpeg was not found: put ffmpeg next to wmaspi.dll or on the PATH");
        return FfmpegMissingStatus;
    }
    const auto container = containerSwitch(request);
    if (!container) {
        printError("No known container for '" + request.output + "': give it a known extension");
        return 1;
    }
    // Before anything is opened or written: a refused list converts nothing.
    if (const auto refused = refusal(request, *container)) {
        printError(*refused + "; nothing was converted");
        return 1;
    }
    // Our own switches come after the check: the burn filter names the input, as only we may.
    ConversionRequest planned = request;
    // Keeping a stream and shaping a picture need what only a full look tells (pixel format,
    // profile, pixel aspect); the tracks alone need no more than a quick one.
    const bool fullLook = request.streams.keepCompatible || request.streams.videoBox;
    const MediaProbe probe = sourceProbe(request, fullLook ? ProbeDepth::Full : ProbeDepth::Kinds);
    // A copied stream needs no shape nor ceiling.
    keepCompatibleStreams(planned, *container, probe);
    // Before the tracks: a burned subtitle takes the profile's video filter, the shape's with it.
    planConversionShape(planned, *container, probe);
    planVideoCeiling(planned, probe);
    planAudioCeiling(planned, probe);
    planConversionTracks(planned, *container, probe);
    if (const auto refused = claimPart(planned))
        return *refused;
    const int status =
        planned.fit ? runFitConversion(planned, ffmpeg, *container) : runPlain(planned, ffmpeg, *container);
    // A conversion refused before FFmpeg wrote anything leaves no part file behind either.
    discardPart();
    return status;
}

} // namespace encoder
