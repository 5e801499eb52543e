// The video's rate as a ceiling: the switches each codec gets, called directly, and real
// conversions of an easy and a hard clip, under a ceiling and into a size.
#include "encoder/encoderharness.h"
#include "encoder/stringlists.h"
#include "fit/fitparameters.h"
#include "rate/audioceiling.h"
#include "rate/ratecontrol.h"
#include "rate/videoceiling.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace encoder;

namespace {

// The parameters of the MP4 H.264 640x360 profile and the messaging one, without their rate.
const QStringList H264At360 = {"-c:v",    "libx264",   "-s",         "640x360", "-preset", "medium", "-pix_fmt",
                               "yuv420p", "-movflags", "+faststart", "-c:a",    "aac",     "-b:a",   "128k"};
const QStringList Messaging = {"-c:v", "libx264", "-profile:v", "main",     "-c:a",    "aac",       "-b:a",
                               "96k",  "-preset", "medium",     "-pix_fmt", "yuv420p", "-movflags", "+faststart"};

} // namespace

class EncoderRateTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cappedRate_data();
    void cappedRate();
    void lowerSourceRate();
    void audioCeiling_data();
    void audioCeiling();
    void ceiling_data();
    void ceiling();
    void fit_data();
    void fit();

private:
    QString clip(const QString &name) const { return m_clips.filePath(name); }
    QTemporaryDir m_clips;
};

void EncoderRateTest::initTestCase()
{
    QVERIFY(QFile::exists(encoderPath()));
    if (!ffmpegHasEncoder(QStringLiteral("libx264")))
        QSKIP("this FFmpeg has no libx264");
    // Every frame a key frame, so the easy picture comes at a rate over the ceiling.
    QVERIFY(makeClip({"-f", "lavfi", "-i", "testsrc=size=640x360:rate=25:duration=2", "-c:v", "mpeg4", "-q:v", "2",
                      "-g", "1", clip("easy.mp4")}));
    // Noise takes every bit it is given.
    QVERIFY(makeClip({"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=25:duration=2,noise=alls=80:allf=t", "-f",
                      "lavfi", "-i", "sine=frequency=440:duration=2", "-c:v", "mpeg4", "-q:v", "2", "-c:a", "aac",
                      clip("hard.mp4")}));
    // About 350 kbit/s, where quality 23 alone would take 500.
    QVERIFY(makeClip({"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=25:duration=2", "-c:v", "libx264", "-preset",
                      "ultrafast", "-b:v", "300k", "-maxrate", "300k", "-bufsize", "300k", clip("lowrate.mp4")}));
}

void EncoderRateTest::cappedRate_data()
{
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QStringList>("capped"); // empty: the rate is not ours
    QTest::addColumn<QString>("line");
    const QStringList buffer = {"-maxrate", "1000000", "-bufsize", "1000000", "-rc_init_occupancy", "500000"};
    QTest::newRow("H.264") << QStringList{"-c:v", "libx264", "-b:v", "2M"}
                           << QStringList{"-c:v", "libx264", "-crf", "23"} + buffer
                           << "video rate: quality 23, at most 1000 kb/s";
    QTest::newRow("H.265") << QStringList{"-c:v", "libx265", "-maxrate", "5M", "-bufsize", "9M"}
                           << QStringList{"-c:v", "libx265", "-crf", "28"} + buffer
                           << "video rate: quality 28, at most 1000 kb/s";
    QTest::newRow("VP9, constrained quality")
        << QStringList{"-c:v", "libvpx-vp9", "-row-mt", "1"}
        << QStringList{"-c:v", "libvpx-vp9", "-row-mt", "1", "-crf", "32", "-b:v", "1000000"}
        << "video rate: quality 32, at most 1000 kb/s";
    QTest::newRow("the profile's own quality wins")
        << QStringList{"-crf", "18", "-c:v", "libx264"} << QStringList{"-crf", "18", "-c:v", "libx264"} + buffer
        << "video rate: quality 18, at most 1000 kb/s";
    QTest::newRow("MPEG-4: the rate, with its most")
        << QStringList{"-vcodec", "mpeg4", "-b:v", "3M"} << QStringList{"-vcodec", "mpeg4", "-b:v", "1000000"} + buffer
        << "video rate: at most 1000 kb/s";
    QTest::newRow("MPEG-4 at the profile's quantiser")
        << QStringList{"-c:v", "mpeg4", "-q:v", "3"} << QStringList{"-c:v", "mpeg4", "-q:v", "3"} + buffer
        << "video rate: quality 3, at most 1000 kb/s";
    QTest::newRow("copied") << QStringList{"-c:v", "copy", "-b:v", "1M"} << QStringList{} << "";
    QTest::newRow("no video") << QStringList{"-vn", "-c:a", "aac"} << QStringList{} << "";
}

void EncoderRateTest::cappedRate()
{
    QFETCH(QStringList, parameters);
    QFETCH(QStringList, capped);
    QFETCH(QString, line);
    const auto made = encoder::cappedRate(toStd(parameters), 1e6);
    QCOMPARE(made.has_value(), !capped.isEmpty());
    if (!made)
        return;
    QCOMPARE(made->parameters, toStd(capped));
    QCOMPARE(QString::fromStdString(cappedRateLine(*made, 1e6)), line);
}

void EncoderRateTest::lowerSourceRate()
{
    ConversionRequest request;
    request.streams.videoCeiling = 1e6;
    MediaProbe probe{MediaInfo{}, {}};
    StreamInfo video;
    video.kind = "Video";
    video.bitRate = 400000;
    probe.info->streams.push_back(video);
    QCOMPARE(videoCeiling(request, probe), std::optional(4e5));
    probe.info->streams.front().bitRate = 3000000;
    QCOMPARE(videoCeiling(request, probe), std::optional(1e6));
    request.streams.videoCeiling.reset();
    QVERIFY(!videoCeiling(request, probe));
}

void EncoderRateTest::audioCeiling_data()
{
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QList<qint64>>("sourceRates"); // 0: unknown
    QTest::addColumn<double>("ceiling");            // 0: none
    const QStringList aac128 = {"-c:a", "aac", "-b:a", "128k"};
    QTest::newRow("a 64k source") << aac128 << QList<qint64>{64000} << 64000.0;
    QTest::newRow("the highest of two") << aac128 << QList<qint64>{48000, 96100} << 97000.0;
    QTest::newRow("no lower than 64k") << aac128 << QList<qint64>{24000} << 64000.0;
    QTest::newRow("a richer source") << aac128 << QList<qint64>{192000} << 0.0;
    QTest::newRow("a rate unknown") << aac128 << QList<qint64>{64000, 0} << 0.0;
    QTest::newRow("the codec's own rate") << QStringList{"-c:a", "aac"} << QList<qint64>{64000} << 0.0;
    QTest::newRow("copied") << aac128 + QStringList{"-c:a", "copy"} << QList<qint64>{64000} << 0.0;
}

void EncoderRateTest::audioCeiling()
{
    QFETCH(QStringList, parameters);
    QFETCH(QList<qint64>, sourceRates);
    QFETCH(double, ceiling);
    MediaInfo input;
    for (const qint64 rate : sourceRates) {
        StreamInfo audio;
        audio.kind = "Audio";
        if (rate)
            audio.bitRate = rate;
        input.streams.push_back(audio);
    }
    QCOMPARE(encoder::audioCeiling(toStd(parameters), input).value_or(0), ceiling);

    // The command gives the audio one rate, the ceiling where the profile's own stood.
    ConversionRequest request;
    request.parameters = toStd(parameters);
    planAudioCeiling(request, MediaProbe{input, {}, ProbeDepth::Full});
    const auto rates = std::count(request.parameters.begin(), request.parameters.end(), std::string("-b:a"));
    QCOMPARE(rates, qsizetype(parameters.count("-b:a")));
    if (ceiling != 0)
        QCOMPARE(lastValue(request.parameters, std::array<std::string_view, 1>{"-b:a"}),
                 std::to_string(qRound(ceiling / 1000)) + "k");
}

void EncoderRateTest::ceiling_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<double>("most"); // bits per second of the output, container included
    QTest::addColumn<double>("least");
    QTest::addColumn<QString>("said");
    // x264 lands about a percent around its most.
    QTest::newRow("easy: far under") << "easy.mp4" << 1.03e6 << 0.0 << "quality 23, at most 1000 kb/s";
    QTest::newRow("hard: near the ceiling") << "hard.mp4" << 1.03e6 + 128e3 << 0.8e6 << "at most 1000 kb/s";
    QTest::newRow("a low-rate source is not inflated") << "lowrate.mp4" << 0.38e6 << 0.0 << "at most 3\\d\\d kb/s";
}

void EncoderRateTest::ceiling()
{
    QFETCH(QString, input);
    QFETCH(double, most);
    QFETCH(double, least);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString output = dir.filePath("out.mp4");
    const Finished run =
        runEncoder(QStringList{"-y", "-i", clip(input)} + H264At360 + QStringList{"-video-ceiling", "1000k", output});
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    QVERIFY2(run.output.contains(QRegularExpression("video rate: .*" + said)), qPrintable(run.output));
    const auto figures = libavFigures(output);
    QVERIFY(figures);
    QVERIFY2(figures->bitRate <= most && figures->bitRate >= least, qPrintable(QString::number(figures->bitRate)));
    if (input == "easy.mp4")
        QVERIFY2(figures->bitRate < 0.3 * most, qPrintable(QString::number(figures->bitRate)));
}

void EncoderRateTest::fit_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("passes");
    QTest::newRow("easy: one try, far under") << "easy.mp4" << Messaging << "out.mp4" << 2e5 << false;
    QTest::newRow("hard: one try") << "hard.mp4" << Messaging << "out.mp4" << 2e5 << false;
    QTest::newRow("a low-rate source is not inflated") << "lowrate.mp4" << Messaging << "out.mp4" << 16e6 << false;
    // LAME gives 320 kbit/s for 290 asked: the try at a quality comes out over.
    QTest::newRow("over: two passes follow")
        << "hard.mp4" << QStringList{"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "libmp3lame", "-b:a", "290k"}
        << "out.avi" << 2e5 << true;
}

void EncoderRateTest::fit()
{
    QFETCH(QString, input);
    QFETCH(QStringList, parameters);
    QFETCH(QString, outputName);
    QFETCH(double, size);
    QFETCH(bool, passes);
    QTemporaryDir dir;
    const QString output = dir.filePath(outputName);
    const Finished run = runEncoder(QStringList{"-y", "-i", clip(input)} + parameters +
                                    QStringList{"-fit", QString::number(qint64(size)), output});
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    QVERIFY2(run.output.contains("video rate: quality 23, at most "), qPrintable(run.output));
    const qint64 bytes = QFileInfo(output).size();
    QVERIFY2(bytes > 0 && bytes <= size, qPrintable(QString::number(bytes)));
    QVERIFY2(bytes <= 1.03 * QFileInfo(clip(input)).size(), qPrintable(QString::number(bytes)));
    if (input == "easy.mp4")
        QVERIFY2(bytes < size / 2, qPrintable(QString::number(bytes)));
    // The try at a quality climbs over the first third of the bar; the passes, when they come,
    // over the rest. One that fits ends the bar at once.
    const QList<double> times = statusTimes(run.output);
    QVERIFY(!times.isEmpty() && qAbs(times.last() - 2) < 0.1);
    const bool passed = std::any_of(times.begin(), times.end(), [](double t) { return t > 0.7 && t < 1.95; });
    QCOMPARE(passed, passes);
    QCOMPARE(run.output.contains("converting again in two passes"), passes);
}

QTEST_GUILESS_MAIN(EncoderRateTest)
#include "tst_encoderrate.moc"
