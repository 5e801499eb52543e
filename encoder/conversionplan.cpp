#include "conversionplan.h"

#include "core/protocol/partialoutput.h"
#include "ffmpeg/ffmpegnumbers.h"
#include "probe/libavformat.h"
#include "probe/muxertable.h"

#include <algorithm>

namespace encoder {

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
    const Libav *libav = encoder::libav();
    const AVOutputFormat *format = libav ? libav->guessFormat(nullptr, request.output.c_str(), nullptr) : nullptr;
    if (!format)
        return std::nullopt;
    return std::vector<std::string>{"-f", format->name};
}

std::optional<std::string> muxerName(const ConversionRequest &request, const std::vector<std::string> &container)
{
    if (container.size() == 2)
        return container[1];
    const auto given = std::find(request.parameters.rbegin(), request.parameters.rend(), "-f");
    if (given == request.parameters.rend() || given == request.parameters.rbegin())
        return std::nullopt;
    return *std::prev(given);
}

std::optional<MuxerKinds> muxerKinds(const ConversionRequest &request, const std::vector<std::string> &container)
{
    const auto name = muxerName(request, container);
    if (!name || name->empty())
        return std::nullopt;
    if (const auto tabled = tabledMuxerKinds(*name))
        return tabled;
    const Libav *libav = encoder::libav();
    const AVOutputFormat *muxer = libav ? libav->guessFormat(name->c_str(), nullptr, nullptr) : nullptr;
    if (!muxer)
        return std::nullopt;
    // A muxer whose video is cover art only (mp3) gets none from a film: FFmpeg's own rule.
    const bool coverArtOnly = muxer->video_codec != AV_CODEC_ID_NONE &&
                              libav->queryCodec(muxer, muxer->video_codec, 0) == MKTAG('A', 'P', 'I', 'C');
    return MuxerKinds{muxer->video_codec != AV_CODEC_ID_NONE && !coverArtOnly, muxer->audio_codec != AV_CODEC_ID_NONE};
}

std::optional<double> switchSeconds(const std::vector<std::string> &parameters, const std::string &name)
{
    // FFmpeg lets the last occurrence win.
    const auto found = std::find(parameters.rbegin(), parameters.rend(), name);
    if (found == parameters.rend() || found == parameters.rbegin())
        return std::nullopt;
    const auto microseconds = ffmpegDuration(*std::prev(found));
    if (!microseconds)
        return std::nullopt;
    return static_cast<double>(*microseconds) / 1e6;
}

double trimmedSeconds(double seconds, const std::vector<std::string> &parameters)
{
    const double start = switchSeconds(parameters, "-ss").value_or(0.0);
    double left = std::max(0.0, seconds - start);
    // FFmpeg takes -t over -to; an output's -to is a position, as its -ss is.
    if (const auto span = switchSeconds(parameters, "-t"))
        left = std::min(left, *span);
    else if (const auto end = switchSeconds(parameters, "-to"))
        left = std::min(left, std::max(0.0, *end - start));
    return left;
}

std::vector<std::string> ffmpegArguments(const ConversionRequest &request, const std::vector<std::string> &container)
{
    // Progress comes as key=value blocks on stdout. stderr carries the log with each line's
    // level: the errors are the user's, the input's description and the closing sizes ours.
    std::vector<std::string> arguments = {
        "-nostdin",  "-hide_banner", "-loglevel",     "level+info", "-nostats", "-y",
        "-progress", "pipe:1",       "-stats_period", "0.25",       "-i",       "file:" + request.input,
    };
    arguments.insert(arguments.end(), request.parameters.begin(), request.parameters.end());
    arguments.insert(arguments.end(), request.trackArguments.begin(), request.trackArguments.end());
    arguments.insert(arguments.end(), container.begin(), container.end());
    arguments.push_back("file:" + partPathFor(request.output));
    return arguments;
}

} // namespace encoder
