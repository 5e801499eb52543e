#include "profiles/mediafacts.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

StreamFacts streamFacts(AVFormatContext *context, AVStream *stream)
{
    const AVCodecParameters *codec = stream->codecpar;
    StreamFacts facts;
    facts.codec = QString::fromLatin1(avcodec_get_name(codec->codec_id));
    facts.frameSize = QSize(codec->width, codec->height);
    if (stream->avg_frame_rate.den > 0)
        facts.framesPerSecond = av_q2d(stream->avg_frame_rate);
    if (codec->height > 0) {
        // As players take it: the container's word, else the stream's.
        const AVRational guessed = av_guess_sample_aspect_ratio(context, stream, nullptr);
        const AVRational sample = guessed.num > 0 ? guessed : AVRational{1, 1};
        facts.displayAspect = av_q2d(sample) * codec->width / codec->height;
    }
    facts.sampleRate = codec->sample_rate;
    facts.channels = codec->ch_layout.nb_channels;
    return facts;
}

} // namespace

std::optional<MediaFacts> mediaFacts(const QString &path)
{
    AVFormatContext *context = nullptr;
    const QByteArray name = path.toLocal8Bit();
    if (avformat_open_input(&context, name.constData(), nullptr, nullptr) < 0)
        return std::nullopt;
    MediaFacts facts;
    if (avformat_find_stream_info(context, nullptr) >= 0) {
        facts.formatName = QString::fromLatin1(context->iformat->name);
        if (const AVDictionaryEntry *brand = av_dict_get(context->metadata, "major_brand", nullptr, 0))
            facts.majorBrand = QString::fromLatin1(brand->value);
        for (unsigned n = 0; n < context->nb_streams; ++n) {
            AVStream *stream = context->streams[n];
            if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !facts.video)
                facts.video = streamFacts(context, stream);
            else if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && !facts.audio)
                facts.audio = streamFacts(context, stream);
        }
    }
    avformat_close_input(&context);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        facts.fileStart = file.read(64);
    return facts;
}
