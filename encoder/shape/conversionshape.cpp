#include "shape/conversionshape.h"

#include "console.h"
#include "conversionplan.h"
#include "probe/libavformat.h"
#include "shape/shapefilter.h"
#include "shape/shapegeometry.h"
#include "streams/sourcefacts.h"

#include <algorithm>

namespace encoder {

namespace {

bool hasAny(const std::vector<std::string> &parameters, std::initializer_list<const char *> names)
{
    return std::any_of(parameters.begin(), parameters.end(), [&names](const std::string &parameter) {
        return std::any_of(names.begin(), names.end(), [&parameter](const char *name) { return parameter == name; });
    });
}

// The encoder the profile names for the video, else the one the muxer makes by default.
std::string videoEncoder(const ConversionRequest &request, const std::vector<std::string> &container)
{
    const auto &parameters = request.parameters;
    for (auto at = parameters.rbegin(); at != parameters.rend(); ++at) {
        if (at != parameters.rbegin() && (*at == "-c:v" || *at == "-vcodec" || *at == "-codec:v" || *at == "-c:v:0" ||
                                          *at == "-codec:v:0" || *at == "-c" || *at == "-codec"))
            return *std::prev(at);
    }
    const auto muxer = muxerName(request, container);
    const Libav *libav = encoder::libav();
    const AVOutputFormat *format = muxer && libav ? libav->guessFormat(muxer->c_str(), nullptr, nullptr) : nullptr;
    return format ? libav->codecName(format->video_codec) : std::string();
}

} // namespace

std::vector<VideoBox> fixedFrameSizes(const std::string &encoder)
{
    if (encoder == "h263")
        return {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {1408, 1152}};
    return {};
}

void planConversionShape(ConversionRequest &request, const std::vector<std::string> &container, const MediaProbe &probe)
{
    const StreamRequest &wanted = request.streams;
    if (!wanted.videoBox && !wanted.sourceAspect)
        return;
    const auto &parameters = request.parameters;
    if (hasAny(parameters, {"-vn", "-filter_complex", "-lavfi"}))
        return;
    if (hasAny(parameters, {"-s", "-s:v", "-aspect", "-aspect:v"})) {
        printError("picture: as the profile's own -s and -aspect make it");
        return;
    }
    const std::string encoder = videoEncoder(request, container);
    if (encoder == "copy" || !muxerKinds(request, container).value_or(MuxerKinds{}).video)
        return;
    const StreamInfo *video = probe.info ? sourceVideo(*probe.info) : nullptr;
    // A quick look leaves the size or the pixel aspect unknown where only the video's own stream
    // tells them (MPEG-4 in MP4, AVI, raw streams): the picture's shape needs a full one.
    MediaProbe full;
    if (video && probe.depth != ProbeDepth::Full && (!video->pixelAspect || video->width <= 0 || video->height <= 0)) {
        full = probeMedia(request.input, ProbeDepth::Full);
        if (const StreamInfo *known = full.info ? sourceVideo(*full.info) : nullptr)
            video = known;
    }
    if (!video)
        return; // no picture to shape; FFmpeg says why when the input cannot be read
    const auto shape = shapePicture(*video, wanted, fixedFrameSizes(encoder));
    if (!shape)
        return;
    printError(shapeLine(*video, *shape));
    appendVideoFilter(request.parameters, shapeFilter(*shape));
}

} // namespace encoder
