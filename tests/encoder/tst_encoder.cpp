// The encoder's probe reports and conversions, and its verdict on what FFmpeg wrote.
#include "core/tasks/timetext.h"
#include "encoder/encoderharness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class EncoderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void probeReport_data();
    void probeReport();
    void conversion_data();
    void conversion();
    void containerFromExtension_data();
    void containerFromExtension();
    void awkwardInputs_data();
    void awkwardInputs();
    void verdictOnWhatFfmpegWrote_data();
    void verdictOnWhatFfmpegWrote();
    void verdictAgainstTheLengthWhenAdded_data();
    void verdictAgainstTheLengthWhenAdded();

private:
    QString clip(const QString &name) const { return m_clips.filePath(name); }

    QTemporaryDir m_clips;
    bool m_hasX264 = false;
};

void EncoderTest::initTestCase()
{
    QVERIFY(QFile::exists(encoderPath()));
    const QStringList av = {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=3",
                            "-f", "lavfi", "-i", "sine=frequency=440:duration=3"};
    QVERIFY(makeClip(av + QStringList{"-c:v", "mpeg4", "-c:a", "libmp3lame", "-shortest", clip("clip.avi")}));
    QVERIFY(makeClip(av + QStringList{"-c:v", "mpeg4", "-c:a", "aac", "-movflags", "+faststart", clip("clip.mp4")}));
    QVERIFY(makeClip({"-f", "lavfi", "-i", "sine=duration=2", "-c:a", "libmp3lame", clip("tone.mp3")}));
    // The header promises 3 s but the data stops early; FFmpeg still exits 0 on it.
    QVERIFY(writeFile(clip("truncated.mp4"), readFile(clip("clip.mp4")).left(60000)));
    QVERIFY(writeFile(clip("notvideo.avi"), "just some text\n"));

    // Files as people have them, small and short.
    auto testsrc = [](int seconds) {
        return QStringList{"-f", "lavfi", "-i",
                           QStringLiteral("testsrc=size=176x144:rate=25:duration=%1").arg(seconds)};
    };
    auto sine = [](int seconds) {
        return QStringList{"-f", "lavfi", "-i", QStringLiteral("sine=duration=%1").arg(seconds)};
    };
    // No header at all: libavformat guesses a hundredth of a second for 4 s.
    QVERIFY(makeClip(testsrc(4) + QStringList{"-c:v", "mpeg1video", "-f", "mpeg1video", clip("raw.mpg")}));
    QVERIFY(makeClip(testsrc(2) + sine(2) +
                     QStringList{"-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg", clip("part.mpg")}));
    QVERIFY(writeFile(clip("joined.mpg"), readFile(clip("part.mpg")) + readFile(clip("part.mpg"))));
    // Matroska states its length in front, so the cut-off half still claims 4 s.
    QVERIFY(makeClip(testsrc(4) + sine(4) + QStringList{"-c:v", "mpeg4", "-c:a", "libmp3lame", clip("whole.mkv")}));
    const QByteArray whole = readFile(clip("whole.mkv"));
    QVERIFY(writeFile(clip("cut.mkv"), whole.left(whole.size() / 2)));
    QVERIFY(
        makeClip(testsrc(5) + sine(2) + QStringList{"-c:v", "mpeg4", "-c:a", "libmp3lame", clip("shortaudio.avi")}));
    QVERIFY(makeClip(testsrc(3) + QStringList{"-c:v", "mpeg4", clip("videoonly.mp4")}));
    // An elementary stream states no length at all.
    QVERIFY(makeClip(testsrc(3) + QStringList{"-c:v", "mpeg4", "-f", "m4v", clip("raw.m4v")}));
    m_hasX264 = ffmpegHasEncoder(QStringLiteral("libx264"));
}

void EncoderTest::probeReport_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("frameSize");
    QTest::newRow("avi with mp3") << "clip.avi"
                                  << " 320x240";
    QTest::newRow("mp4 with aac") << "clip.mp4"
                                  << " 320x240";
    QTest::newRow("audio only") << "tone.mp3"
                                << "";
}

void EncoderTest::probeReport()
{
    QFETCH(QString, file);
    QFETCH(QString, frameSize);
    const QString path = clip(file);
    const auto figures = libavFigures(path);
    QVERIFY(figures);

    const Finished probe = runEncoder({"-i", path});
    QCOMPARE(probe.exitCode, 0);
    QVERIFY2(probe.output.contains(QStringLiteral("from '%1':").arg(path)), qPrintable(probe.output));
    QVERIFY(probe.output.contains(QStringLiteral(", bitrate: %1 kb/s").arg(figures->bitRate / 1000)));
    QCOMPARE(probe.output.count(QStringLiteral("    Stream #0:")), figures->streamCount);
    QVERIFY(probe.output.contains(QRegularExpression(QStringLiteral("Audio: \\w+, \\d+ Hz, mono( \\(default\\))?\n"))));

    const auto cuts = cutProbeReport(probe.output, path);
    if (frameSize.isEmpty()) {
        QVERIFY(!probe.output.contains(QStringLiteral("Video")));
        QVERIFY(
            probe.output.contains(QStringLiteral("  Duration: ") + tasks::SecondsToTimeText(figures->durationSeconds)));
    } else {
        QVERIFY2(cuts, qPrintable(probe.output));
        QCOMPARE(cuts->duration, tasks::SecondsToTimeText(figures->durationSeconds));
        QCOMPARE(cuts->frameSize, frameSize);
    }
}

void EncoderTest::conversion_data()
{
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("videoCodec");
    QTest::addColumn<QSize>("frameSize");
    const QStringList toMpeg4 = {"-c:v", "mpeg4", "-c:a", "libmp3lame"};
    QTest::newRow("3gp h263 aac") << To3gp << "out.3gp" << 3.0 << "h263" << QSize(176, 144);
    QTest::newRow("mp4 x264") << QStringList{"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"} << "out.mp4"
                              << 3.0 << "h264" << QSize(320, 240);
    QTest::newRow("start and span") << QStringList{"-ss", "00:00:01", "-t", "1.5"} + toMpeg4 << "trim.avi" << 1.5
                                    << "mpeg4" << QSize(320, 240);
    QTest::newRow("start only") << QStringList{"-ss", "00:00:01.5"} + toMpeg4 << "tail.avi" << 1.5 << "mpeg4"
                                << QSize(320, 240);
    QTest::newRow("audio only") << QStringList{"-vn", "-c:a", "libmp3lame", "-b:a", "64k"} << "sound.mp3" << 3.0 << ""
                                << QSize();
}

void EncoderTest::conversion()
{
    QFETCH(QStringList, parameters);
    QFETCH(QString, outputName);
    QFETCH(double, seconds);
    QFETCH(QString, videoCodec);
    QFETCH(QSize, frameSize);
    if (parameters.contains(QStringLiteral("libx264")) && !m_hasX264)
        QSKIP("this FFmpeg has no libx264");
    QTemporaryDir dir;
    const QString output = dir.filePath(outputName);

    const Finished run = runEncoder(QStringList{"-y", "-i", clip("clip.avi")} + parameters + QStringList{output});
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    QVERIFY(!QFile::exists(output + ".part"));
    const auto figures = libavFigures(output);
    QVERIFY(figures);
    QVERIFY2(qAbs(figures->durationSeconds - seconds) < 0.3, qPrintable(QString::number(figures->durationSeconds)));
    QCOMPARE(figures->videoCodec, videoCodec);
    QCOMPARE(figures->frameSize, frameSize);

    static const QRegularExpression statusShape(
        QStringLiteral("^frame=\\d+ fps=\\S+ size=\\d+kB time=\\d+\\.\\d\\d bitrate=\\S+ speed=\\S+ $"));
    for (const QString &line : run.output.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("frame=")))
            QVERIFY2(statusShape.match(line).hasMatch(), qPrintable(line));
    }
    const QList<double> times = statusTimes(run.output);
    QVERIFY(times.size() >= 2);
    QVERIFY(std::is_sorted(times.begin(), times.end()));
    QVERIFY(times.first() >= 0);
    QVERIFY2(qAbs(times.last() - seconds) < 0.3, qPrintable(run.output));
}

void EncoderTest::containerFromExtension_data()
{
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<QString>("format"); // as libavformat names what it reads back
    QTest::newRow("mkv is Matroska") << "out.mkv"
                                     << "mpeg4"
                                     << "matroska,webm";
    QTest::newRow("upper-case WMV is ASF") << "OUT.WMV"
                                           << "wmv2"
                                           << "asf";
    QTest::newRow("mpg is MPEG-PS") << "out.mpg"
                                    << "mpeg1video"
                                    << "mpeg";
    QTest::newRow("dots in the folder, none in the name") << "a.b/out"
                                                          << "mpeg4"
                                                          << "";
}

void EncoderTest::containerFromExtension()
{
    QFETCH(QString, outputName);
    QFETCH(QString, codec);
    QFETCH(QString, format);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("a.b"));
    const QString output = dir.filePath(outputName);

    const Finished run =
        runEncoder({"-y", "-i", clip("videoonly.mp4"), "-t", "1", "-c:v", codec, "-s", "176x144", output});
    QVERIFY(!QFile::exists(output + ".part"));
    if (format.isEmpty()) {
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.output.contains(QStringLiteral("No known container")), qPrintable(run.output));
        return;
    }
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    const auto figures = libavFigures(output);
    QVERIFY(figures);
    QCOMPARE(figures->formatName, format);
}

void EncoderTest::awkwardInputs_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<double>("seconds"); // of the output; for an incomplete one, what the input claims
    QTest::addColumn<bool>("video");
    QTest::addColumn<bool>("audio");
    const QStringList toMp3 = {"-vn", "-c:a", "libmp3lame", "-b:a", "64k"};
    QTest::newRow("raw MPEG video, header understates") << "raw.mpg" << To3gp << "out.3gp" << 0 << 4.0 << true << false;
    QTest::newRow("audio shorter than video, audio only")
        << "shortaudio.avi" << toMp3 << "sound.mp3" << 0 << 2.0 << false << true;
    QTest::newRow("audio shorter than video, video kept")
        << "shortaudio.avi" << To3gp << "out.3gp" << 0 << 5.0 << true << true;
    QTest::newRow("mp3 output drops the video unasked")
        << "shortaudio.avi" << QStringList{"-c:a", "libmp3lame"} << "sound.mp3" << 0 << 2.0 << false << true;
    QTest::newRow("joined MPEG-PS") << "joined.mpg" << To3gp << "out.3gp" << 0 << 4.0 << true << true;
    QTest::newRow("video profile, video-only input")
        << "videoonly.mp4" << To3gp << "out.3gp" << 0 << 3.0 << true << false;
    QTest::newRow("trim inside the intact part of a cut-off file")
        << "cut.mkv" << QStringList{"-ss", "0.5", "-t", "1"} + To3gp << "out.3gp" << 0 << 1.0 << true << true;
    QTest::newRow("cut-off Matroska") << "cut.mkv" << To3gp << "out.3gp" << 3 << 4.0 << true << true;
    QTest::newRow("cut-off mp4, index in front") << "truncated.mp4" << To3gp << "out.3gp" << 3 << 3.0 << true << true;
    QTest::newRow("raw MPEG-4 video, no stated length") << "raw.m4v" << To3gp << "out.3gp" << 0 << 3.0 << true << false;
    QTest::newRow("-map keeps the audio only")
        << "clip.avi" << QStringList{"-map", "0:a"} + To3gp << "out.3gp" << 0 << 3.0 << false << true;
}

void EncoderTest::awkwardInputs()
{
    QFETCH(QString, input);
    QFETCH(QStringList, parameters);
    QFETCH(QString, outputName);
    QFETCH(int, exitCode);
    QFETCH(double, seconds);
    QFETCH(bool, video);
    QFETCH(bool, audio);
    QTemporaryDir dir;
    const QString output = dir.filePath(outputName);
    QVERIFY(writeFile(output, EarlierOutput));

    const Finished run = runEncoder(QStringList{"-y", "-i", clip(input)} + parameters + QStringList{output});
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QVERIFY2(run.exitCode == exitCode, qPrintable(run.output));
    QVERIFY(!QFile::exists(output + ".part"));
    // Incomplete or not, what was converted is the user's new file.
    const auto figures = libavFigures(output);
    QVERIFY2(figures, qPrintable(run.output));
    QCOMPARE(!figures->videoCodec.isEmpty(), video);
    QCOMPARE(figures->hasAudio, audio);

    static const QRegularExpression incomplete(
        QStringLiteral("Incomplete: converted (\\S+) of (\\S+); the input may be damaged\n"));
    const auto said = incomplete.match(run.output);
    if (exitCode == 0) {
        QVERIFY2(qAbs(figures->durationSeconds - seconds) < 0.5, qPrintable(QString::number(figures->durationSeconds)));
        QVERIFY2(!said.hasMatch(), qPrintable(run.output));
    } else {
        QVERIFY2(figures->durationSeconds > 0.5 && figures->durationSeconds < seconds * 0.9,
                 qPrintable(QString::number(figures->durationSeconds)));
        QVERIFY2(said.hasMatch(), qPrintable(run.output));
        QVERIFY(qAbs(tasks::TimeTextToSeconds(said.captured(1)) - figures->durationSeconds) < 0.5);
        QVERIFY(qAbs(tasks::TimeTextToSeconds(said.captured(2)) - seconds) < 0.1);
    }
}

// The log FFmpeg 5.1 writes with "-loglevel level+info" for clip.avi, with the given figures.
static QString ffmpegLog(const QString &duration, int videoKb, int audioKb)
{
    return QStringLiteral("[info] Input #0, avi, from 'file:clip.avi':\n"
                          "[info]   Duration: %1, start: 0.000000, bitrate: 430 kb/s\n"
                          "[info]   Stream #0:0: Video: mpeg4 (Simple Profile) (FMP4 / 0x34504D46), yuv420p, "
                          "320x240 [SAR 1:1 DAR 4:3], 332 kb/s, 25 fps, 25 tbr, 25 tbn\n"
                          "[info]   Stream #0:1: Audio: mp3 (U[0][0][0] / 0x0055), 44100 Hz, mono, fltp, 64 kb/s\n"
                          "[info] Stream mapping:\n"
                          "[info] video:%2kB audio:%3kB subtitle:0kB other streams:0kB global headers:0kB "
                          "muxing overhead: 2.174893%\n")
        .arg(duration)
        .arg(videoKb)
        .arg(audioKb);
}

void EncoderTest::verdictOnWhatFfmpegWrote_data()
{
    // The stand-in FFmpeg exits with the code and writes the file it is told, whatever the switches.
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("written"); // the clip the stand-in writes, or empty
    QTest::addColumn<QString>("reason");
    const QStringList quick = {"-silent", "0"};
    QTest::newRow("FFmpeg's own 3 is a failure") << "clip.avi" << quick + QStringList{"-exit", "3"} << 1 << ""
                                                 << "exit code 3";
    QTest::newRow("kept audio missing") << "clip.avi" << quick << 1 << "videoonly.mp4"
                                        << "no audio";
    QTest::newRow("kept video missing") << "shortaudio.avi" << quick << 1 << "tone.mp3"
                                        << "no video";
    QTest::newRow("no video wanted with -vn") << "shortaudio.avi" << quick + QStringList{"-vn"} << 0 << "tone.mp3"
                                              << "";
    QTest::newRow("no audio wanted with -an") << "clip.avi" << quick + QStringList{"-an"} << 0 << "videoonly.mp4"
                                              << "";
    QTest::newRow("short output FFmpeg calls a success")
        << "shortaudio.avi" << quick + QStringList{"-an"} << 3 << "videoonly.mp4"
        << "converted 00:00:03";

    // With FFmpeg's account of the run, the output is opened only when the account leaves doubt:
    // a text file passes unopened when it settles everything.
    const auto account = [&quick](const QString &duration, int videoKb, int audioKb, const QString &reached) {
        return quick + QStringList{"-log", ffmpegLog(duration, videoKb, audioKb), "-reach", reached};
    };
    QTest::newRow("account settles it") << "clip.avi" << account("00:00:03.04", 69, 11, "3.1") << 0 << "notvideo.avi"
                                        << "";
    QTest::newRow("account with a kept kind of 0 kB")
        << "clip.avi" << account("00:00:03.04", 69, 0, "3.1") << 1 << "videoonly.mp4"
        << "no audio";
    QTest::newRow("account short of the stated length")
        << "clip.avi" << account("00:00:05.00", 69, 11, "3.1") << 1 << "notvideo.avi"
        << "cannot be read back";
    QTest::newRow("account without a stated length")
        << "clip.avi" << account("N/A", 69, 11, "3.1") << 1 << "notvideo.avi"
        << "cannot be read back";
    QTest::newRow("account of a run given -map")
        << "clip.avi" << account("00:00:03.04", 69, 11, "3.1") + QStringList{"-map", "0"} << 1 << "notvideo.avi"
        << "cannot be read back";
}

void EncoderTest::verdictOnWhatFfmpegWrote()
{
    QFETCH(QString, input);
    QFETCH(QStringList, parameters);
    QFETCH(int, exitCode);
    QFETCH(QString, written);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString encoder = encoderCopy(dir, QStringLiteral(VELKOR_TEST_BIN_DIR "/encoder_silent_ffmpeg"));
    QVERIFY(!encoder.isEmpty());
    const QString output = dir.filePath("out.3gp");
    QVERIFY(writeFile(output, EarlierOutput));
    if (!written.isEmpty())
        parameters += QStringList{"-copy-from", clip(written)};

    const Finished run = runToEnd(encoder, QStringList{"-y", "-i", clip(input)} + parameters + QStringList{output});
    QVERIFY2(run.exitCode == exitCode, qPrintable(run.output));
    QVERIFY2(run.output.contains(reason), qPrintable(run.output));
    QCOMPARE(readFile(output), exitCode == 1 ? EarlierOutput : readFile(clip(written)));
    QVERIFY(!QFile::exists(output + ".part"));
}

void EncoderTest::verdictAgainstTheLengthWhenAdded_data()
{
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::newRow("shrunk since") << QStringList{"-length", "12.04"} << 3
                                  << "; the input is now 3.0 s; it was 12.0 s when added\n";
    QTest::newRow("as long as then") << QStringList{"-length", "3.0"} << 0 << "";
    QTest::newRow("the part still there") << QStringList{"-t", "2", "-length", "12.04"} << 0 << "";
    QTest::newRow("a start past what is left") << QStringList{"-ss", "1", "-length", "12.04"} << 3 << " of 00:00:11";
}

// An input cut while it waited is judged by the length the run planned with, not by what is left.
void EncoderTest::verdictAgainstTheLengthWhenAdded()
{
    QFETCH(QStringList, parameters);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString output = dir.filePath("out.mkv");
    const Finished run =
        runEncoder(QStringList{"-y", "-i", clip("clip.avi"), "-c", "copy"} + parameters + QStringList{output});
    QVERIFY2(run.exitCode == exitCode, qPrintable(run.output));
    QVERIFY2(run.output.contains(said), qPrintable(run.output));
    QVERIFY(QFileInfo(output).size() > 0);
}

std::unique_ptr<QObject> makeEncoderTest()
{
    return std::make_unique<EncoderTest>();
}

#include "tst_encoder.moc"
