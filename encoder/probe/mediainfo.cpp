#include "probe/mediainfo.h"

#include "probe/libavformat.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace encoder {

namespace {

std::string errorText(const Libav &libav, int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    libav.strerror(code, text, sizeof text);
    return text;
}

std::string kindName(const Libav &libav, AVMediaType type)
{
    const char *name = libav.mediaTypeString(type);
    std::string kind = name ? name : "unknown";
    if (!kind.empty())
        kind[0] = static_cast<char>(kind[0] - 'a' + 'A');
    return kind;
}

std::optional<double> framesPerSecond(const AVStream &stream)
{
    for (AVRational rate : {stream.avg_frame_rate, stream.r_frame_rate}) {
        if (rate.num > 0 && rate.den > 0)
            return av_q2d(rate);
    }
    return std::nullopt;
}

std::optional<double> pixelAspect(const AVStream &stream)
{
    // The container's word wins over the codec's, as FFmpeg's own guess has it.
    for (AVRational ratio : {stream.sample_aspect_ratio, stream.codecpar->sample_aspect_ratio}) {
        if (ratio.num > 0 && ratio.den > 0)
            return av_q2d(ratio);
    }
    return std::nullopt;
}

int rotation(const Libav &libav, const AVStream &stream)
{
    const auto *matrix =
        reinterpret_cast<const std::int32_t *>(libav.streamSideData(&stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
    if (!matrix)
        return 0;
    // The matrix turns counter-clockwise; FFmpeg's autorotation and people count clockwise.
    const double degrees = -libav.displayRotation(matrix);
    if (!std::isfinite(degrees))
        return 0;
    const int quarter = static_cast<int>(std::lround(degrees / 90.0)) % 4;
    return (quarter + 4) % 4 * 90;
}

std::string channelsText(const Libav &libav, const AVChannelLayout &layout)
{
    char text[128] = {};
    // A quick look may leave the order unsaid; FFmpeg then takes the usual layout of that many.
    AVChannelLayout usual = {};
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC && layout.nb_channels > 0) {
        libav.channelLayoutDefault(&usual, layout.nb_channels);
        if (libav.channelLayoutDescribe(&usual, text, sizeof text) > 0)
            return text;
    }
    if (layout.nb_channels > 0 && libav.channelLayoutDescribe(&layout, text, sizeof text) > 0)
        return text;
    return std::to_string(layout.nb_channels) + " channels";
}

StreamInfo describeStream(const Libav &libav, const AVStream &stream)
{
    const AVCodecParameters &codec = *stream.codecpar;
    StreamInfo info;
    info.kind = kindName(libav, codec.codec_type);
    info.codec = libav.codecName(codec.codec_id);
    if (codec.codec_type == AVMEDIA_TYPE_VIDEO) {
        const char *format = libav.pixelFormatName(static_cast<AVPixelFormat>(codec.format));
        info.pixelFormat = format ? format : "none";
        info.width = codec.width;
        info.height = codec.height;
        info.framesPerSecond = framesPerSecond(stream);
        info.pixelAspect = pixelAspect(stream);
        info.rotation = rotation(libav, stream);
        if (const char *profile = libav.profileName(codec.codec_id, codec.profile))
            info.profile = profile;
        info.level = std::max(codec.level, 0);
    } else if (codec.codec_type == AVMEDIA_TYPE_AUDIO) {
        info.sampleRate = codec.sample_rate;
        info.channels = channelsText(libav, codec.ch_layout);
    }
    if (const AVDictionaryEntry *tag = libav.dictGet(stream.metadata, "language", nullptr, 0))
        info.language = tag->value;
    if (const AVDictionaryEntry *tag = libav.dictGet(stream.metadata, "title", nullptr, 0))
        info.title = tag->value;
    // An attachment is known by its file's name, a font's more often than not.
    const AVDictionaryEntry *file = libav.dictGet(stream.metadata, "filename", nullptr, 0);
    if (info.title.empty() && file && codec.codec_type == AVMEDIA_TYPE_ATTACHMENT)
        info.title = file->value;
    info.isDefault = stream.disposition & AV_DISPOSITION_DEFAULT;
    info.isForced = stream.disposition & AV_DISPOSITION_FORCED;
    info.attachedPicture = stream.disposition & AV_DISPOSITION_ATTACHED_PIC;
    if (codec.bit_rate > 0)
        info.bitRate = codec.bit_rate;
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0)
        info.durationSeconds = static_cast<double>(stream.duration) * av_q2d(stream.time_base);
    return info;
}

std::optional<double> seconds(std::int64_t time)
{
    if (time == AV_NOPTS_VALUE)
        return std::nullopt;
    return static_cast<double>(time) / AV_TIME_BASE;
}

struct InputCloser {
    const Libav *libav;
    void operator()(AVFormatContext *context) const { libav->closeInput(&context); }
};

} // namespace

MediaProbe probeMedia(const std::string &path, ProbeDepth depth)
{
    const Libav *libav = encoder::libav();
    if (!libav)
        return {std::nullopt, "libavformat cannot be loaded: " + libavError()};
    AVFormatContext *opened = nullptr;
    const std::string url = "file:" + path;
    AVDictionary *options = nullptr;
    if (depth == ProbeDepth::Kinds) {
        // Enough to recognise any container we write, and to meet the first packets of those
        // that announce their streams only there.
        libav->dictSet(&options, "probesize", "131072", 0);
        libav->dictSet(&options, "analyzeduration", "500000", 0);
    }
    const int code = libav->openInput(&opened, url.c_str(), nullptr, &options);
    libav->dictFree(&options);
    if (code < 0)
        return {std::nullopt, errorText(*libav, code)};
    std::unique_ptr<AVFormatContext, InputCloser> context(opened, InputCloser{libav});
    // Without stream details the report still has the container's figures, as FFmpeg does.
    // Containers with a header name their streams there; the others only in their packets.
    if (depth == ProbeDepth::Full || context->nb_streams == 0 || (context->ctx_flags & AVFMTCTX_NOHEADER))
        libav->findStreamInfo(context.get(), nullptr);

    MediaInfo info;
    info.formatName = context->iformat->name;
    info.durationSeconds = seconds(context->duration);
    info.durationGuessed = context->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE;
    info.startSeconds = seconds(context->start_time);
    if (context->bit_rate > 0)
        info.bitRate = context->bit_rate;
    for (unsigned i = 0; i < context->nb_streams; ++i)
        info.streams.push_back(describeStream(*libav, *context->streams[i]));
    return {std::move(info), {}, depth};
}

} // namespace encoder
