#include "encoderharness.h"

#include "timetext.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class EncoderTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void probeReport_data();
    void probeReport();
    void probeRejectsUnreadableInput_data();
    void probeRejectsUnreadableInput();
    void usage_data();
    void usage();
    void conversion_data();
    void conversion();
    void failedConversionKeepsEarlierOutput_data();
    void failedConversionKeepsEarlierOutput();
    void missingFfmpeg();
    void unusualPathsReachFfmpegWhole_data();
    void unusualPathsReachFfmpegWhole();
    void silentFfmpegStillHeard();
    void stopRequest_data();
    void stopRequest();
    void killedEncoderTakesFfmpegAlong();

private:
    QString clip(const QString &name) const { return clips_.filePath(name); }
    // A directory holding a copy of the encoder and, optionally, the given program as its ffmpeg.
    QString encoderCopy(QTemporaryDir &dir, const QString &ffmpeg = {});

    QTemporaryDir clips_;
    bool hasX264_ = false;
};

static const QByteArray EarlierOutput = "the user's earlier file";

static bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

static QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

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
    hasX264_ = ffmpegHasEncoder(QStringLiteral("libx264"));
}

void EncoderTest::probeReport_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("frameSize");
    QTest::newRow("avi with mp3") << "clip.avi" << " 320x240";
    QTest::newRow("mp4 with aac") << "clip.mp4" << " 320x240";
    QTest::newRow("audio only") << "tone.mp3" << "";
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
    QCOMPARE(probe.output.count(QStringLiteral("    Stream #0.")), figures->streamCount);
    QVERIFY(probe.output.contains(QRegularExpression(QStringLiteral("Audio: \\w+, \\d+ Hz, mono\n"))));

    const auto cuts = cutProbeReport(probe.output, path);
    if (frameSize.isEmpty()) {
        QVERIFY(!probe.output.contains(QStringLiteral("Video")));
        QVERIFY(probe.output.contains(QStringLiteral("  Duration: ") + tasks::SecondsToTimeText(figures->durationSeconds)));
    } else {
        QVERIFY2(cuts, qPrintable(probe.output));
        QCOMPARE(cuts->duration, tasks::SecondsToTimeText(figures->durationSeconds));
        QCOMPARE(cuts->frameSize, frameSize);
    }
}

void EncoderTest::probeRejectsUnreadableInput_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "nowhere.avi" << "No such file or directory";
    QTest::newRow("text named .avi") << "notvideo.avi" << "Invalid data found when processing input";
}

void EncoderTest::probeRejectsUnreadableInput()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);
    const Finished probe = runEncoder({"-i", clip(file)});
    QCOMPARE(probe.exitCode, 1);
    QCOMPARE(probe.output.trimmed().count(QLatin1Char('\n')), 0);
    QVERIFY2(probe.output.contains(clip(file)) && probe.output.contains(reason), qPrintable(probe.output));
    QVERIFY(!probe.output.contains(QStringLiteral("Duration")));
}

void EncoderTest::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("none") << QStringList{};
    QTest::newRow("-i alone") << QStringList{"-i"};
    QTest::newRow("probe with extra") << QStringList{"-i", "a.avi", "b.3gp"};
    QTest::newRow("no output") << QStringList{"-y", "-i", "a.avi"};
    QTest::newRow("unknown switch") << QStringList{"-x", "-i", "a.avi", "b.3gp"};
}

void EncoderTest::usage()
{
    QFETCH(QStringList, arguments);
    const Finished run = runEncoder(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.output.startsWith(QStringLiteral("usage:")));
    QCOMPARE(run.output.count(QLatin1Char('\n')), 1);
}

static const QStringList To3gp = {"-c:v", "h263", "-s", "176x144", "-b:v", "128k", "-r", "15",
                                  "-c:a", "aac", "-b:a", "32k", "-ar", "8000", "-ac", "1"};

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
    QTest::newRow("audio only") << QStringList{"-vn", "-c:a", "libmp3lame", "-b:a", "64k"} << "sound.mp3" << 3.0
                                << "" << QSize();
}

void EncoderTest::conversion()
{
    QFETCH(QStringList, parameters);
    QFETCH(QString, outputName);
    QFETCH(double, seconds);
    QFETCH(QString, videoCodec);
    QFETCH(QSize, frameSize);
    if (parameters.contains(QStringLiteral("libx264")) && !hasX264_)
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

void EncoderTest::failedConversionKeepsEarlierOutput_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing input") << "nowhere.avi" << To3gp << "out.3gp" << 1 << "No such file or directory";
    QTest::newRow("text named .avi") << "notvideo.avi" << To3gp << "out.3gp" << 1 << "Invalid data";
    QTest::newRow("damaged input FFmpeg accepts") << "truncated.mp4" << To3gp << "out.3gp" << 1 << "instead of 3.00 s";
    QTest::newRow("unknown encoder") << "clip.avi" << QStringList{"-c:v", "nosuchcodec"} << "out.3gp" << 1
                                     << "Unknown encoder 'nosuchcodec'";
    QTest::newRow("extension without container") << "clip.avi" << To3gp << "out.nosuchext" << 1 << "container";
    QTest::newRow("folder does not exist") << "clip.avi" << To3gp << "nofolder/out.3gp" << 1 << "exit code 1";
    QTest::newRow("parent is a file") << "clip.avi" << To3gp << "afile/out.3gp" << 1 << "exit code 1";
}

void EncoderTest::failedConversionKeepsEarlierOutput()
{
    QFETCH(QString, input);
    QFETCH(QStringList, parameters);
    QFETCH(QString, outputName);
    QFETCH(int, exitCode);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("afile"), "a file, not a folder"));
    const QString output = dir.filePath(outputName);
    const bool hasEarlier = QFileInfo(output).dir().exists();
    if (hasEarlier)
        QVERIFY(writeFile(output, EarlierOutput));

    const Finished run = runEncoder(QStringList{"-y", "-i", clip(input)} + parameters + QStringList{output});
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.output.contains(reason), qPrintable(run.output));
    QCOMPARE(readFile(output), hasEarlier ? EarlierOutput : QByteArray("<missing>"));
    QVERIFY(!QFile::exists(output + ".part"));
}

QString EncoderTest::encoderCopy(QTemporaryDir &dir, const QString &ffmpeg)
{
    const QString copy = dir.filePath(QStringLiteral("wmaspi.dll"));
    if (!QFile::copy(encoderPath(), copy) || (!ffmpeg.isEmpty() && !QFile::copy(ffmpeg, dir.filePath("ffmpeg"))))
        return {};
    return copy;
}

void EncoderTest::missingFfmpeg()
{
    QTemporaryDir bin;
    QTemporaryDir emptyPath;
    const QString encoder = encoderCopy(bin);
    QVERIFY(!encoder.isEmpty());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), emptyPath.path());

    const QString output = bin.filePath("out.3gp");
    const Finished run = runToEnd(encoder, QStringList{"-y", "-i", clip("clip.avi")} + To3gp + QStringList{output},
                                  {}, environment);
    QCOMPARE(run.exitCode, 127);
    QVERIFY2(run.output.contains(QStringLiteral("FFmpeg")), qPrintable(run.output));
    QVERIFY(!QFile::exists(output));
}

void EncoderTest::unusualPathsReachFfmpegWhole_data()
{
    QTest::addColumn<QString>("inputName");
    QTest::addColumn<QString>("outputName");
    QTest::newRow("blanks quotes accents") << "my \"best\" clip été.avi" << "out \"q\" à l'été.3gp";
    QTest::newRow("leading dash") << "-clip.avi" << "-out.3gp";
    QTest::newRow("protocol-like colon") << "concat:clip.avi" << "http:out.3gp";
}

void EncoderTest::unusualPathsReachFfmpegWhole()
{
    QFETCH(QString, inputName);
    QFETCH(QString, outputName);
    QTemporaryDir dir;
    QVERIFY(QFile::copy(clip("clip.avi"), dir.filePath(inputName)));

    const Finished probe = runEncoder({"-i", inputName}, dir.path());
    QCOMPARE(probe.exitCode, 0);
    const auto cuts = cutProbeReport(probe.output, inputName);
    QVERIFY2(cuts && cuts->frameSize == QStringLiteral(" 320x240"), qPrintable(probe.output));

    const Finished run = runEncoder(QStringList{"-y", "-i", inputName} + To3gp + QStringList{outputName}, dir.path());
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    const auto figures = libavFigures(dir.filePath(outputName));
    QVERIFY(figures && figures->frameSize == QSize(176, 144));
}

void EncoderTest::silentFfmpegStillHeard()
{
    QTemporaryDir bin;
    const QString encoder = encoderCopy(bin, QStringLiteral(VELKOR_TEST_BIN_DIR "/encoder_silent_ffmpeg"));
    QVERIFY(!encoder.isEmpty());
    const QString output = bin.filePath("out.3gp");
    QVERIFY(writeFile(output, EarlierOutput));

    RunningEncoder run({"-y", "-i", clip("clip.avi"), "-silent", "1.6", output}, encoder);
    QTRY_VERIFY_WITH_TIMEOUT(run.process.state() == QProcess::NotRunning, 10000);
    QCOMPARE(run.process.exitCode(), 1);
    QVERIFY2(run.output.contains(QStringLiteral("no output")), qPrintable(run.output));
    QCOMPARE(readFile(output), EarlierOutput);

    // The window takes a status line as a sign of life: one at least every half second.
    QVERIFY2(run.statusArrivalsMs.size() >= 3, qPrintable(run.output));
    for (qsizetype i = 1; i < run.statusArrivalsMs.size(); ++i)
        QVERIFY(run.statusArrivalsMs[i] - run.statusArrivalsMs[i - 1] <= 750);
}

void EncoderTest::stopRequest_data()
{
    QTest::addColumn<QString>("signal");
    QTest::addColumn<bool>("stubbornFfmpeg");
    QTest::newRow("SIGTERM") << "TERM" << false;
    QTest::newRow("SIGINT") << "INT" << false;
    QTest::newRow("FFmpeg ignoring SIGTERM") << "TERM" << true;
}

void EncoderTest::stopRequest()
{
    QFETCH(QString, signal);
    QFETCH(bool, stubbornFfmpeg);
    QTemporaryDir dir;
    const QString output = dir.filePath("out.3gp");
    QVERIFY(writeFile(output, EarlierOutput));
    QString encoder = encoderPath();
    // The realtime filter holds FFmpeg to the clip's pace, so it is still busy when stopped.
    QStringList parameters = QStringList{"-vf", "realtime"} + To3gp;
    if (stubbornFfmpeg) {
        encoder = encoderCopy(dir, QStringLiteral(VELKOR_TEST_BIN_DIR "/encoder_silent_ffmpeg"));
        QVERIFY(!encoder.isEmpty());
        parameters = {"-silent", "30", "-ignore-term"};
    }

    RunningEncoder run(QStringList{"-y", "-i", clip("clip.avi")} + parameters + QStringList{output}, encoder);
    if (stubbornFfmpeg)
        QTRY_VERIFY_WITH_TIMEOUT(run.output.contains(QStringLiteral("fake ffmpeg ready")), 5000);
    else
        QTRY_VERIFY_WITH_TIMEOUT(!statusTimes(run.output).isEmpty() && statusTimes(run.output).last() > 0.3, 5000);
    const QList<qint64> children = childPids(run.process.processId());
    QCOMPARE(children.size(), 1);

    QCOMPARE(runToEnd(QStringLiteral("kill"), {"-s", signal, QString::number(run.process.processId())}).exitCode, 0);
    QTRY_VERIFY_WITH_TIMEOUT(run.process.state() == QProcess::NotRunning, 5000);
    QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
    QVERIFY(run.process.exitCode() != 0);
    QVERIFY(!processAlive(children.first()));
    QCOMPARE(readFile(output), EarlierOutput);
    QVERIFY(!QFile::exists(output + ".part"));
}

void EncoderTest::killedEncoderTakesFfmpegAlong()
{
    // A silent FFmpeg: a chatty one would also die of its broken pipes, hiding a missing link.
    QTemporaryDir dir;
    const QString encoder = encoderCopy(dir, QStringLiteral(VELKOR_TEST_BIN_DIR "/encoder_silent_ffmpeg"));
    QVERIFY(!encoder.isEmpty());
    RunningEncoder run({"-y", "-i", clip("clip.avi"), "-silent", "30", dir.filePath("out.3gp")}, encoder);
    QTRY_VERIFY_WITH_TIMEOUT(run.output.contains(QStringLiteral("fake ffmpeg ready")), 5000);
    const QList<qint64> children = childPids(run.process.processId());
    QCOMPARE(children.size(), 1);
    run.process.kill();
    QTRY_VERIFY_WITH_TIMEOUT(!processAlive(children.first()), 5000);
}

QTEST_GUILESS_MAIN(EncoderTest)
#include "tst_encoder.moc"
