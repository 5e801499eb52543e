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

// The clip's picture fitted into the box with its shape, or the shape stated for it, kept in square
// pixels and never enlarged; a stretched one, or one for H.263's fixed sizes, fills the box.
QStringList pictureShortfalls(const QString &box, const QString &statedAspect, bool fixedSizes,
                              const StreamFacts &video)
{
    QStringList found;
    const QSize frame = video.frameSize;
    const QString size = QStringLiteral("frame size %1x%2").arg(frame.width()).arg(frame.height());
    const QStringList stated = statedAspect.split(':');
    const double shown = stated.size() == 2 ? rational(stated.join('/')) : double(ClipSize.width()) / ClipSize.height();
    const QStringList boxSides = box.split('x');
    if (boxSides.size() != 2) {
        if (frame != ClipSize)
            found << size;
        if (stated.size() == 2 && std::abs(video.displayAspect / shown - 1) > 0.02)
            found << QStringLiteral("display aspect %1").arg(video.displayAspect);
        return found;
    }
    const QSize boxSize(boxSides[0].toInt(), boxSides[1].toInt());
    if (statedAspect == "stretch" || fixedSizes) {
        if (frame != boxSize)
            found << size;
    } else {
        const double shownWidth = ClipSize.height() * shown;
        const bool fitted = frame.width() >= std::min<double>(boxSize.width(), shownWidth) - 2 ||
                            frame.height() >= std::min(boxSize.height(), ClipSize.height()) - 2;
        if (frame.width() > boxSize.width() || frame.height() > boxSize.height() || !fitted ||
            std::abs(double(frame.width()) / frame.height() / shown - 1) > 0.02)
            found << size;
    }
    if (std::abs(video.displayAspect * frame.height() / frame.width() - 1) > 0.001)
        found << QStringLiteral("display aspect %1 in non-square pixels").arg(video.displayAspect);
    return found;
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
        found << pictureShortfalls(option.value("-video-box"), option.value("-source-aspect"),
                                   option.value("-c:v") == "h263", video);
        const double rate = option.contains("-r") ? rational(option["-r"]) : ClipFramesPerSecond;
        // ASF counts whole milliseconds: over the clip's dozen frames, a filtered 29.97 reads 29.92.
        if (std::abs(video.framesPerSecond - rate) > (type == "wmv" ? 0.06 : 0.01))
            found << QStringLiteral("%1 frames a second").arg(video.framesPerSecond);
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
