#include "rate/videoceiling.h"

#include "console.h"
#include "rate/ratecontrol.h"
#include "streams/sourcefacts.h"

#include <algorithm>

namespace encoder {

std::optional<double> videoCeiling(const ConversionRequest &request, const MediaProbe &probe)
{
    std::optional<double> ceiling = request.streams.videoCeiling;
    if (!ceiling || !probe.info)
        return ceiling;
    if (const auto source = sourceVideoRate(*probe.info))
        ceiling = std::min(*ceiling, *source);
    return ceiling;
}

void planVideoCeiling(ConversionRequest &request, const MediaProbe &probe)
{
    if (request.fit)
        return;
    const auto ceiling = videoCeiling(request, probe);
    if (!ceiling)
        return;
    const auto capped = cappedRate(request.parameters, *ceiling);
    if (!capped)
        return;
    request.parameters = capped->parameters;
    printError(cappedRateLine(*capped, *ceiling));
}

} // namespace encoder
