// The picture's shape through the shipped profiles, by the real encoder and FFmpeg, on clips of
// every shape FFmpeg makes at test time.
#include "core/profiles/designedrows.h"
#include "core/profiles/parametersettings.h"
#include "core/profiles/parameterstring.h"
#include "core/profiles/profilelist.h"
#include "core/profiles/profilereading.h"
#include "encoder/encoderharness.h"
#include "probe/probefacts.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <optional>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

const QString ProfilesDirectory = QStringLiteral(VELKOR_BIN_DIR "/Profiles");

// Each clip's name and the shape a viewer sees, width over height.
const QList<std::pair<QString, double>> Clips = {
    {"wide.mp4", 16.0 / 9},     {"fourthree.mp4", 4.0 / 3}, {"anamorphic.mp4", 16.0 / 9},
    {"portrait.mp4", 9.0 / 16}, {"turned.mp4", 9.0 / 16},
};
// Every clip goes through these; the shipped-profile test holds every profile to its box.
const QStringList EveryShape = {"MP4 H.264 640x360", "3GP H.263 176x144 (QCIF)", "WebM VP9 + Opus"};

QString lavfi(int width, int height)
{
    return QStringLiteral("testsrc2=size=%1x%2:rate=10:duration=0.3").arg(width).arg(height);
}

// The profile as it loads, but with a box: one that keeps the original size takes its first size.
QStringList profileParameters(const QString &path)
{
    const profiles::ProfileData profile = profiles::ReadProfileFile(path);
    profiles::ParameterSettings settings(profile);
    for (const profiles::ProfileParameter &parameter : profile.parameters) {
        if (parameter.name == profiles::VideoSizeKey && parameter.values().value(parameter.index).isEmpty())
            settings.set(parameter.name, parameter.captions().value(1));
    }
    return QProcess::splitCommand(profiles::BuildParameterString(profile, settings.shownValue()));
}

QString valueAfter(const QStringList &parameters, const QString &name)
{
    const qsizetype at = parameters.lastIndexOf(name);
    return at >= 0 && at + 1 < parameters.size() ? parameters[at + 1] : QString();
}

// The first video stream as players take it, read in-process: a process per output would cost
// more than the conversion.
struct Picture {
    QSize frame;
    AVRational pixels{1, 1}; // the container's word, else the stream's; 1:1 when neither says
    AVRational framesPerSecond{0, 1};
    bool turned = false; // a display matrix asks players to turn it
    double shown() const { return av_q2d(pixels) * frame.width() / frame.height(); }
};

std::optional<Picture> picture(const QString &path)
{
    AVFormatContext *context = nullptr;
    if (avformat_open_input(&context, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return std::nullopt;
    std::optional<Picture> found;
    const int index = avformat_find_stream_info(context, nullptr) < 0
                          ? -1
                          : av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index >= 0) {
        AVStream *stream = context->streams[index];
        found = Picture{QSize(stream->codecpar->width, stream->codecpar->height)};
        if (const AVRational guessed = av_guess_sample_aspect_ratio(context, stream, nullptr); guessed.num > 0)
            found->pixels = guessed;
        found->framesPerSecond = stream->avg_frame_rate;
        found->turned = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
    }
    avformat_close_input(&context);
    return found;
}

// The picture inside the bars, as FFmpeg's cropdetect finds it.
QSize pictureInside(const QString &path)
{
    const Finished run = runToEnd(
        "ffmpeg", {"-hide_banner", "-i", path, "-vf", "cropdetect=limit=24:round=2:skip=0", "-f", "null", "-"});
    const auto found = QRegularExpression("crop=(\\d+):(\\d+):").globalMatch(run.output);
    QSize picture;
    for (auto matches = found; matches.hasNext();) {
        const auto match = matches.next();
        picture = QSize(match.captured(1).toInt(), match.captured(2).toInt());
    }
    return picture;
}

} // namespace

class EncoderShapeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void profilesKeepTheShape_data();
    void profilesKeepTheShape();
    void deinterlacedAndBurnedTogether();
    void probedFactsStandForTheUnchangedFile();
    void factsSpareLoadingLibav_data();
    void factsSpareLoadingLibav();

private:
    QString clip(const QString &name) const { return m_clips.filePath(name); }

    QTemporaryDir m_clips;
    QTemporaryDir m_outputs;
};

void EncoderShapeTest::initTestCase()
{
    QVERIFY(QFile::exists(encoderPath()));
    QVERIFY(writeFile(clip("cue.srt"), "1\n00:00:00,000 --> 00:00:01,000\nWWWW MMMM\n"));
    // One FFmpeg makes them all: starting it costs more than the few frames each.
    const QList<std::pair<QString, QSize>> sources = {{"wide.mp4", {854, 480}},
                                                      {"fourthree.mp4", {640, 480}},
                                                      {"anamorphic.mp4", {720, 576}},
                                                      {"portrait.mp4", {720, 1280}},
                                                      {"level.mp4", {1280, 720}}};
    QStringList make;
    QStringList outputs;
    for (qsizetype n = 0; n < sources.size(); ++n) {
        const auto &[name, size] = sources[n];
        make << "-f"
             << "lavfi"
             << "-i" << lavfi(size.width(), size.height());
        outputs << "-map" << QString::number(n) << "-c:v"
                << "mpeg4"
                << "-q:v"
                << "5";
        if (name == "anamorphic.mp4")
            outputs << "-vf"
                    << "setsar=64/45";
        outputs << clip(name);
    }
    make << "-i" << clip("cue.srt");
    outputs << "-map"
            << "0"
            << "-map" << QString::number(sources.size()) << "-c:v"
            << "mpeg4"
            << "-c:s"
            << "srt" << clip("titled.mkv");
    QVERIFY(makeClip(make + outputs));
    // The muxer writes a display matrix from the tag only when it copies the stream.
    QVERIFY(makeClip({"-i", clip("level.mp4"), "-c", "copy", "-metadata:s:v:0", "rotate=90", clip("turned.mp4")}));
    const auto turned = picture(clip("turned.mp4"));
    QVERIFY(turned && turned->turned);
}

void EncoderShapeTest::profilesKeepTheShape_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<double>("aspect");
    for (const profiles::ProfileEntry &entry : profiles::ListProfiles(ProfilesDirectory)) {
        for (const auto &[name, aspect] : Clips) {
            if (EveryShape.contains(entry.name))
                QTest::addRow("%s: %s", qPrintable(entry.name), qPrintable(name)) << entry.path << name << aspect;
        }
    }
}

void EncoderShapeTest::profilesKeepTheShape()
{
    QFETCH(QString, profile);
    QFETCH(QString, clip);
    QFETCH(double, aspect);
    const QStringList parameters = profileParameters(profile);
    const QString output = m_outputs.filePath(QFileInfo(profile).completeBaseName() + " " + clip + "." +
                                              profiles::ReadProfileFile(profile).type);
    const Finished run = runEncoder(QStringList{"-y", "-i", this->clip(clip)} + parameters + QStringList{output});
    const QString said = parameters.join(' ') + "\n" + run.output;
    QVERIFY2(run.exitCode == 0, qPrintable(said));

    const auto made = picture(output);
    QVERIFY2(made, qPrintable(said));
    const QSize frame = made->frame;
    const QString seen = QString("%1x%2 of pixels %3:%4: ")
                             .arg(frame.width())
                             .arg(frame.height())
                             .arg(made->pixels.num)
                             .arg(made->pixels.den) +
                         said;
    QVERIFY2(!made->turned, qPrintable(seen)); // shown as stored, portrait or not
    const QString box = valueAfter(parameters, "-video-box");
    if (valueAfter(parameters, "-c:v") == "h263") {
        QCOMPARE(QString("%1x%2").arg(frame.width()).arg(frame.height()), box);
        const QSize inside = pictureInside(output);
        QVERIFY2(inside.width() < frame.width() || inside.height() < frame.height(), qPrintable(seen));
        QVERIFY2(std::abs(double(inside.width()) / inside.height() / aspect - 1) < 0.03,
                 qPrintable(QString("picture %1x%2 in ").arg(inside.width()).arg(inside.height()) + seen));
        return;
    }
    QVERIFY2(std::abs(made->shown() / aspect - 1) < 0.01, qPrintable(seen));
    if (QStringList{"mp4", "3gp", "webm", "mkv"}.contains(QFileInfo(output).suffix()))
        QVERIFY2(av_cmp_q(made->pixels, AVRational{1, 1}) == 0, qPrintable(seen));
    const QStringList boxSize = box.split('x');
    QVERIFY2(boxSize.size() == 2, qPrintable(said));
    // Inside the box, turned for a portrait picture.
    const bool turned = frame.height() > frame.width();
    QVERIFY2(frame.width() <= boxSize[turned].toInt() && frame.height() <= boxSize[!turned].toInt(), qPrintable(seen));
}

// The profile's deinterlacing (yadif=1 doubles the frame rate, which shows it ran) and a burned
// subtitle both stay in the one chain with the shape.
void EncoderShapeTest::deinterlacedAndBurnedTogether()
{
    const QStringList profile = {"-c:v", "mpeg4", "-vf", "yadif=1", "-video-box", "320x240", "-subtitles", "none"};
    QStringList frames;
    for (const QString burn : {"no", "yes"}) {
        const QString output = m_outputs.filePath("burn-" + burn + ".mp4");
        const Finished run = runEncoder(QStringList{"-y", "-i", clip("titled.mkv")} + profile +
                                        QStringList{"-burn-subtitles", burn, output});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        const auto made = picture(output);
        QVERIFY(made);
        QCOMPARE(made->frame, QSize(320, 180));
        QCOMPARE(av_q2d(made->framesPerSecond), 20.0);
        frames << readFile(output).toBase64(); // the same frames would make the same file
    }
    QVERIFY(frames[0] != frames[1]);
}

// The facts a probe report ends with are what the probe found, and a conversion plans from them
// instead of opening the input again, until the file changes.
void EncoderShapeTest::probedFactsStandForTheUnchangedFile()
{
    for (const QString name : {"wide.mp4", "anamorphic.mp4", "turned.mp4", "titled.mkv"}) {
        const std::string path = clip(name).toStdString();
        const auto probed = encoder::probeMedia(path).info;
        QVERIFY(probed);
        const std::string line = encoder::factsLine(path, *probed);
        QVERIFY(line.starts_with(encoder::FactsLinePrefix));
        QCOMPARE(encoder::factsOf(path, line.substr(encoder::FactsLinePrefix.size())), probed);
    }

    const QString input = clip("facts.mp4");
    QVERIFY(QFile::copy(clip("wide.mp4"), input));
    const Finished probe = runEncoder({"-i", input});
    const QString factsText = probe.output.trimmed().section('\n', -1).trimmed();
    QVERIFY2(factsText.startsWith("Facts: "), qPrintable(probe.output));
    auto facts = encoder::factsOf(input.toStdString(), factsText.mid(7).toStdString());
    QVERIFY(facts && !facts->streams.empty());
    facts->streams[0].pixelAspect = 0.75; // says the 854x480 picture is shown at 4:3
    const QString claimed = QString::fromStdString(encoder::factsLine(input.toStdString(), *facts))
                                .mid(qsizetype(encoder::FactsLinePrefix.size()));
    const auto frameOfConversion = [&](const QString &output) {
        const Finished run = runEncoder({"-y", "-i", input, "-c:v", "mpeg4", "-video-box", "320x240", "-source-facts",
                                         claimed, m_outputs.filePath(output)});
        const auto made = picture(m_outputs.filePath(output));
        return run.exitCode == 0 && made ? made->frame : QSize();
    };
    QCOMPARE(frameOfConversion("claimed.mp4"), QSize(320, 240));
    QFile touched(input);
    QVERIFY(touched.open(QIODevice::ReadWrite));
    QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    touched.close();
    QCOMPARE(frameOfConversion("looked-again.mp4"), QSize(320, 180));
}

void EncoderShapeTest::factsSpareLoadingLibav_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("extension");
    QTest::newRow("3GP") << "3GP H.263 176x144 (QCIF)"
                         << "3gp";
    QTest::newRow("MP4") << "MP4 H.264 640x360"
                         << "mp4";
}

// A shipped profile's conversion planned from the probe's facts loads no libav library: FFmpeg
// loads them anyway, and the encoder loading them too would double the cost of a short file.
void EncoderShapeTest::factsSpareLoadingLibav()
{
    QFETCH(QString, profile);
    QFETCH(QString, extension);
    const QString input = clip("wide.mp4");
    const Finished probe = runEncoder({"-i", input});
    const QString facts = probe.output.trimmed().section('\n', -1).trimmed();
    QVERIFY2(facts.startsWith("Facts: "), qPrintable(probe.output));

    QTemporaryDir trace;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_DEBUG", "files");
    environment.insert("LD_DEBUG_OUTPUT", trace.filePath("ld"));
    const QString output = m_outputs.filePath("libavless." + extension);
    const Finished run =
        runToEnd(encoderPath(),
                 QStringList{"-y", "-i", input} + profileParameters(ProfilesDirectory + "/" + profile + ".vkp") +
                     QStringList{"-source-facts", facts.mid(7), output},
                 {}, environment);
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    // Every process writes a trace of its own, FFmpeg's apart from the encoder's.
    int encoders = 0;
    for (const QString &name : QDir(trace.path()).entryList(QDir::Files)) {
        const QByteArray loaded = readFile(trace.filePath(name));
        if (!loaded.contains("wmaspi.dll [0]"))
            continue;
        ++encoders;
        QVERIFY2(!loaded.contains("libav"), loaded.constData());
    }
    QCOMPARE(encoders, 1);
}

QTEST_GUILESS_MAIN(EncoderShapeTest)
#include "tst_encodershape.moc"
