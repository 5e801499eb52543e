#include "conversionplan.h"

#include "libavformat.h"
#include "muxertable.h"
#include "partialoutput.h"

extern "C" {
#include <libavutil/parseutils.h>
}

#include <algorithm>

std::string partPathFor(const std::string &output)
{
    return protocol::partialOutputPath(output);
}

std::optional<std::vector<std::string>> containerSwitch(const ConversionRequest &request)
{
    const auto &parameters = request.parameters;
    if (std::find(parameters.begin(), parameters.end(), "-f") != parameters.end())
        return std::vector<std::string>{};
    if (const auto muxer = tabledMuxer(request.output))
        return std::vector<std::string>{"-f", *muxer};
    // The few names the table cannot answer for cost a load of libavformat before FFmpeg starts.
    const Libavformat *libav = libavformat();
    const AVOutputFormat *format = libav ? libav->guessFormat(nullptr, request.output.c_str(), nullptr) : nullptr;
    if (!format)
        return std::nullopt;
    return std::vector<std::string>{"-f", format->name};
}

std::optional<double> switchSeconds(const std::vector<std::string> &parameters, const std::string &name)
{
    // FFmpeg lets the last occurrence win.
    const auto found = std::find(parameters.rbegin(), parameters.rend(), name);
    if (found == parameters.rend() || found == parameters.rbegin())
        return std::nullopt;
    std::int64_t microseconds = 0;
    if (av_parse_time(&microseconds, std::prev(found)->c_str(), 1) < 0)
        return std::nullopt;
    return static_cast<double>(microseconds) / 1e6;
}

std::vector<std::string> ffmpegArguments(const ConversionRequest &request,
                                         const std::vector<std::string> &container)
{
    // Progress comes as key=value blocks on stdout. stderr carries the log with each line's
    // level: the errors are the user's, the input's description and the closing sizes ours.
    std::vector<std::string> arguments = {
        "-nostdin", "-hide_banner", "-loglevel", "level+info", "-nostats", "-y",
        "-progress", "pipe:1", "-stats_period", "0.25",
        "-i", "file:" + request.input,
    };
    arguments.insert(arguments.end(), request.parameters.begin(), request.parameters.end());
    arguments.insert(arguments.end(), container.begin(), container.end());
    arguments.push_back("file:" + partPathFor(request.output));
    return arguments;
}
