#include "commandline.h"
#include "console.h"
#include "conversion.h"
#include "core/platform/processsignals.h"
#include "core/protocol/probeframing.h"
#include "probe/libavformat.h"
#include "probe/mediainfo.h"
#include "probe/probereport.h"

#include <clocale>
#include <string>
#include <vector>

namespace encoder {
namespace {

int runProbe(const ProbeRequest &request)
{
    const MediaProbe probe = probeMedia(request.input);
    if (!probe.info) {
        printError(probeFailureLine(request.input, probe.error));
        return 1;
    }
    for (const auto &line : probeReportLines(request.input, *probe.info))
        printLine(line);
    return 0;
}

// Each input's report, or the line saying why it could not be read, in a frame of its own.
int runProbeMany(const ProbeManyRequest &request)
{
    for (std::size_t number = 0; number < request.inputs.size(); ++number) {
        const std::string &input = request.inputs[number];
        const MediaProbe probe = probeMedia(input);
        std::string report;
        if (probe.info) {
            for (const auto &line : probeReportLines(input, *probe.info))
                report += line + "\n";
        } else {
            report = probeFailureLine(input, probe.error) + "\n";
        }
        printText(protocol::probeFrameHeader(number, report.size()) + report);
    }
    return 0;
}

} // namespace
} // namespace encoder

int main(int argc, char *argv[])
{
    // Kept as bytes: paths must reach FFmpeg and our report exactly as given.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const encoder::EncoderRequest request = encoder::parseCommandLine(arguments);
    encoder::silenceLibavLog();

    if (const auto *probe = std::get_if<encoder::ProbeRequest>(&request))
        return encoder::runProbe(*probe);
    if (const auto *probes = std::get_if<encoder::ProbeManyRequest>(&request))
        return encoder::runProbeMany(*probes);
    if (const auto *conversion = std::get_if<encoder::ConversionRequest>(&request)) {
        // Numbers we print and libav reads are in the C locale, whatever the user's.
        std::setlocale(LC_NUMERIC, "C");
        // Everything the conversion looks at, it looks at now: the input may have changed since.
        if (conversion->waitForGo)
            platform::awaitGo();
        // The part file is in place or gone, and its claim is the kernel's to let go.
        encoder::exitAtOnce(encoder::runConversion(*conversion));
    }
    encoder::printError(encoder::UsageText);
    return 2;
}
