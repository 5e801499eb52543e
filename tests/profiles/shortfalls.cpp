#include "profiles/shortfalls.h"

#include <QMap>

#include <cmath>

namespace outputpromises {
namespace {

const QMap<QString, QString> CodecOfEncoder = {
    {"h263", "h263"},      {"mpeg4", "mpeg4"}, {"libx264", "h264"},   {"libx265", "hevc"}, {"wmv2", "wmv2"},
    {"libvpx-vp9", "vp9"}, {"aac", "aac"},     {"libmp3lame", "mp3"}, {"wmav2", "wmav2"},  {"libopus", "opus"},
};

double rational(const QString &text)
{
    const QStringList parts = text.split('/');
    return parts.size() == 2 ? parts[0].toDouble() / parts[1].toDouble() : text.toDouble();
}

bool containerMatches(const QString &type, const MediaFacts &facts)
{
    if (type == "3gp")
        return facts.formatName.contains("3gp") && facts.majorBrand.startsWith("3gp");
    if (type == "mp4")
        return facts.formatName.contains("mp4") && facts.majorBrand == "isom";
    if (type == "webm" || type == "mkv")
        return facts.fileStart.contains(type == "webm" ? "webm" : "matroska");
    const QMap<QString, QString> formats = {{"avi", "avi"}, {"wmv", "asf"}, {"mp3", "mp3"}};
    return formats.contains(type) && facts.formatName == formats[type];
}

} // namespace

QStringList shortfalls(const QStringList &arguments, const QString &type, const MediaFacts &facts)
{
    QMap<QString, QString> option;
    QStringList found;
    for (qsizetype n = 0; n < arguments.size(); ++n) {
        if (BareSwitches.contains(arguments[n]))
            option.insert(arguments[n], QString());
        else if ((ValueSwitches.contains(arguments[n]) || arguments[n] == KeepSwitch) && n + 1 < arguments.size()) {
            option.insert(arguments[n], arguments[n + 1]);
            ++n;
        } else {
            found << "unknown argument " + arguments[n];
        }
    }
    if (!containerMatches(type, facts))
        found << "not a " + type + " file but " + facts.formatName;

    if (option.contains("-vn") || type == "mp3") {
        if (facts.video)
            found << "a video stream";
    } else if (!facts.video) {
        found << "no video stream";
    } else {
        const StreamFacts &video = *facts.video;
        if (video.codec != CodecOfEncoder.value(option.value("-c:v")))
            found << "video codec " + video.codec;
        const QStringList size = option.value("-s").split('x');
        const QSize expectedSize = size.size() == 2 ? QSize(size[0].toInt(), size[1].toInt()) : ClipSize;
        if (video.frameSize != expectedSize)
            found << QStringLiteral("frame size %1x%2").arg(video.frameSize.width()).arg(video.frameSize.height());
        const double rate = option.contains("-r") ? rational(option["-r"]) : ClipFramesPerSecond;
        if (std::abs(video.framesPerSecond - rate) > 0.01)
            found << QStringLiteral("%1 frames a second").arg(video.framesPerSecond);
        const QString aspect = option.value("-aspect").replace(':', '/');
        if (!aspect.isEmpty() && std::abs(video.displayAspect - rational(aspect)) > 0.02)
            found << QStringLiteral("display aspect %1").arg(video.displayAspect);
    }

    if (option.contains("-an")) {
        if (facts.audio)
            found << "an audio stream";
    } else if (!facts.audio) {
        found << "no audio stream";
    } else {
        const StreamFacts &audio = *facts.audio;
        if (audio.codec != CodecOfEncoder.value(option.value("-c:a")))
            found << "audio codec " + audio.codec;
        // Opus always decodes at 48000 Hz, whatever it was given.
        const int rate = audio.codec == "opus" ? 48000 : option.value("-ar", QString::number(ClipSampleRate)).toInt();
        if (audio.sampleRate != rate)
            found << QStringLiteral("%1 Hz").arg(audio.sampleRate);
        if (audio.channels != option.value("-ac", "2").toInt())
            found << QStringLiteral("%1 channels").arg(audio.channels);
    }
    return found;
}

} // namespace outputpromises
