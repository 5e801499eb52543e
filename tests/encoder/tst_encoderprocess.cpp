// The encoder as a process among others, and what it turns down: its command line, inputs it
// cannot read, conversions that fail, the paths it is given, the FFmpeg it finds or not, the runs
// beside it, a stop, and a profile that would reach other files.
#include "core/platform/outputclaim.h"
#include "core/platform/qtchildprocess.h"
#include "core/protocol/exitstatus.h"
#include "encoder/encoderharness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class EncoderProcessTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void probeRejectsUnreadableInput_data();
    void probeRejectsUnreadableInput();
    void usage_data();
    void usage();
    void failedConversionKeepsEarlierOutput_data();
    void failedConversionKeepsEarlierOutput();
    void anOutputOfAnotherRun();
    void missingFfmpeg();
    void unusualPathsReachFfmpegWhole_data();
    void unusualPathsReachFfmpegWhole();
    void silentFfmpegStillHeard();
    void stopRequest_data();
    void stopRequest();
    void killedEncoderTakesFfmpegAlong();
    void parametersReachingOtherFilesAreRefused_data();
    void parametersReachingOtherFilesAreRefused();
    void startedAheadWaitsForGo_data();
    void startedAheadWaitsForGo();

private:
    QString clip(const QString &name) const { return m_clips.filePath(name); }

    QTemporaryDir m_clips;
};

void EncoderProcessTest::initTestCase()
{
    QVERIFY(QFile::exists(encoderPath()));
    const QStringList av = {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=3",
                            "-f", "lavfi", "-i", "sine=frequency=440:duration=3"};
    QVERIFY(makeClip(av + QStringList{"-c:v", "mpeg4", "-c:a", "libmp3lame", "-shortest", clip("clip.avi")}));
    QVERIFY(makeClip(av + QStringList{"-c:v", "mpeg4", "-c:a", "aac", "-movflags", "+faststart", clip("clip.mp4")}));
    QVERIFY(writeFile(clip("notvideo.avi"), "just some text\n"));
}

void EncoderProcessTest::probeRejectsUnreadableInput_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "nowhere.avi"
                             << "No such file or directory";
    QTest::newRow("text named .avi") << "notvideo.avi"
                                     << "Invalid data found when processing input";
}

void EncoderProcessTest::probeRejectsUnreadableInput()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);
    const Finished probe = runEncoder({"-i", clip(file)});
    QCOMPARE(probe.exitCode, 1);
    QCOMPARE(probe.output.trimmed().count(QLatin1Char('\n')), 0);
    QVERIFY2(probe.output.contains(clip(file)) && probe.output.contains(reason), qPrintable(probe.output));
    QVERIFY(!probe.output.contains(QStringLiteral("Duration")));
}

void EncoderProcessTest::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("none") << QStringList{};
    QTest::newRow("-i alone") << QStringList{"-i"};
    QTest::newRow("probe with extra") << QStringList{"-i", "a.avi", "b.3gp"};
    QTest::newRow("no output") << QStringList{"-y", "-i", "a.avi"};
    QTest::newRow("unknown switch") << QStringList{"-x", "-i", "a.avi", "b.3gp"};
}

void EncoderProcessTest::usage()
{
    QFETCH(QStringList, arguments);
    const Finished run = runEncoder(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.output.startsWith(QStringLiteral("usage:")));
    // The usage line, then the switches of ours that FFmpeg never sees.
    QCOMPARE(run.output.count(QLatin1Char('\n')), 12);
    QVERIFY(run.output.contains(QStringLiteral("\n  -fit SIZE ")));
    QVERIFY(run.output.contains(QStringLiteral("\n  -n ")));
    QVERIFY(run.output.contains(QStringLiteral("\n  -length SECONDS ")));
    QVERIFY(run.output.contains(QStringLiteral("\n  -audio-tracks preferred|languages|all, -subtitles ")));
}

void EncoderProcessTest::failedConversionKeepsEarlierOutput_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing input") << "nowhere.avi" << To3gp << "out.3gp" << 1 << "No such file or directory";
    QTest::newRow("text named .avi") << "notvideo.avi" << To3gp << "out.3gp" << 1 << "Invalid data";
    QTest::newRow("unknown encoder") << "clip.avi" << QStringList{"-c:v", "nosuchcodec"} << "out.3gp" << 1
                                     << "Unknown encoder 'nosuchcodec'";
    QTest::newRow("extension without container") << "clip.avi" << To3gp << "out.nosuchext" << 1 << "container";
    QTest::newRow("folder does not exist")
        << "clip.avi" << To3gp << "nofolder/out.3gp" << 1 << "nofolder/out.3gp.part': No such file or directory";
    QTest::newRow("parent is a file") << "clip.avi" << To3gp << "afile/out.3gp" << 1
                                      << "afile/out.3gp.part': Not a directory";
}

void EncoderProcessTest::failedConversionKeepsEarlierOutput()
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

// A name another conversion holds, or a file that appeared at a name the run found free, is
// never written: the encoder says so with a status of its own, and a run that renames tries the
// next name.
void EncoderProcessTest::anOutputOfAnotherRun()
{
    QTemporaryDir dir;
    const QString output = dir.filePath("-out é.3gp");
    const QString part = output + ".part";
    QVERIFY(writeFile(part, "another run's part"));
    auto otherRun = std::make_unique<platform::OutputClaim>();
    QCOMPARE(otherRun->claim(QFile::encodeName(part).toStdString(), nullptr), platform::OutputClaim::Outcome::Claimed);
    const QStringList convert = QStringList{"-y", "-i", clip("clip.avi")} + To3gp;

    Finished run = runEncoder(convert + QStringList{output});
    QCOMPARE(run.exitCode, protocol::EncoderOutputTaken);
    QVERIFY2(run.output.contains("is being converted by another run"), qPrintable(run.output));
    QCOMPARE(readFile(part), QByteArray("another run's part"));
    QVERIFY(!QFile::exists(output));

    otherRun.reset();
    QVERIFY(writeFile(output, EarlierOutput));
    run = runEncoder(convert + QStringList{"-n", output});
    QCOMPARE(run.exitCode, protocol::EncoderOutputTaken);
    QCOMPARE(readFile(output), EarlierOutput);
    QVERIFY(!QFile::exists(part));
}

void EncoderProcessTest::missingFfmpeg()
{
    QTemporaryDir bin;
    QTemporaryDir emptyPath;
    const QString encoder = encoderCopy(bin);
    QVERIFY(!encoder.isEmpty());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), emptyPath.path());

    const QString output = bin.filePath("out.3gp");
    const Finished run =
        runToEnd(encoder, QStringList{"-y", "-i", clip("clip.avi")} + To3gp + QStringList{output}, {}, environment);
    QCOMPARE(run.exitCode, 127);
    QVERIFY2(run.output.contains(QStringLiteral("FFmpeg")), qPrintable(run.output));
    QVERIFY(!QFile::exists(output));
}

void EncoderProcessTest::unusualPathsReachFfmpegWhole_data()
{
    QTest::addColumn<QString>("inputName");
    QTest::addColumn<QString>("outputName");
    QTest::newRow("blanks quotes accents") << "my \"best\" clip été.avi"
                                           << "out \"q\" à l'été.3gp";
    QTest::newRow("leading dash") << "-clip.avi"
                                  << "-out.3gp";
    QTest::newRow("protocol-like colon") << "concat:clip.avi"
                                         << "http:out.3gp";
    // The partial file's name would pass the file system's limit of 255 bytes.
    QTest::newRow("longest name") << "clip.avi" << QString(125, QChar(0xE9)) + "x.3gp";
}

void EncoderProcessTest::unusualPathsReachFfmpegWhole()
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
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void EncoderProcessTest::silentFfmpegStillHeard()
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

void EncoderProcessTest::stopRequest_data()
{
    QTest::addColumn<QString>("signal");
    QTest::addColumn<bool>("stubbornFfmpeg");
    QTest::newRow("SIGTERM") << "TERM" << false;
    QTest::newRow("SIGINT") << "INT" << false;
    QTest::newRow("FFmpeg ignoring SIGTERM") << "TERM" << true;
}

void EncoderProcessTest::stopRequest()
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
        parameters = {"-silent", "30", "-ignore-term", "1"}; // a value, as FFmpeg reads a switch it does not know
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

void EncoderProcessTest::killedEncoderTakesFfmpegAlong()
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

void EncoderProcessTest::parametersReachingOtherFilesAreRefused_data()
{
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("named"); // the parameter the refusal names
    const QString elsewhere = QDir::temp().filePath(QStringLiteral("velkor elsewhere/PWNED.mp4"));
    QTest::newRow("a word after a value") << QStringList{"-preset", "fast", elsewhere} << "\"-preset fast\"";
    QTest::newRow("movie filter") << QStringList{"-vf", "movie=" + clip("clip.mp4") + ",scale=8:8"} << "filter movie";
    QTest::newRow("a switch eating the container") << QStringList{"-c:v", "mpeg4", "-metadata"} << "\"-metadata -f";
}

// Whatever a profile holds, FFmpeg reads the input and writes the output and nothing else: a list
// that would reach another file fails before FFmpeg starts, naming the parameter.
void EncoderProcessTest::parametersReachingOtherFilesAreRefused()
{
    QFETCH(QStringList, parameters);
    QFETCH(QString, named);
    QTemporaryDir dir;
    const QString output = dir.filePath("out.mkv");
    QVERIFY(writeFile(output, EarlierOutput));
    const QString elsewhere = QDir::temp().filePath(QStringLiteral("velkor elsewhere"));
    QVERIFY(QDir().mkpath(elsewhere));

    const Finished run =
        runEncoder(QStringList{"-y", "-i", clip("clip.avi")} + parameters + QStringList{output}, dir.path());
    QDir(elsewhere).removeRecursively();
    QVERIFY2(run.exitCode == 1, qPrintable(run.output));
    QVERIFY2(run.output.contains(named) && run.output.contains("; nothing was converted"), qPrintable(run.output));
    QCOMPARE(readFile(output), EarlierOutput);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.mkv"});
}

void EncoderProcessTest::startedAheadWaitsForGo_data()
{
    QTest::addColumn<bool>("goAtOnce");
    QTest::newRow("let go before it waits") << true;
    QTest::newRow("let go while it waits") << false;
}

// An encoder started ahead of its turn touches nothing until it is let go, and a go that comes
// before it waits is not lost.
void EncoderProcessTest::startedAheadWaitsForGo()
{
    QFETCH(bool, goAtOnce);
    QTemporaryDir dir;
    const QString output = dir.filePath("out.3gp");
    platform::QtProcessLauncher launcher;
    const auto encoder = launcher.create();
    QSignalSpy exited(encoder.get(), &platform::ChildProcess::exited);
    encoder->setWaitsForGo(true);
    encoder->launch(encoderPath(),
                    QStringList{"-y", "-i", clip("clip.avi"), "-wait-for-go"} + To3gp + QStringList{output});
    if (!goAtOnce) {
        QTest::qWait(300);
        QVERIFY(encoder->isRunning());
        QVERIFY(childPids(encoder->processId()).isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
    encoder->go();
    QTRY_COMPARE_WITH_TIMEOUT(exited.size(), 1, 30000);
    QVERIFY(exited.first().first().value<platform::ProcessExit>().succeeded());
    QVERIFY(libavFigures(output));
}

std::unique_ptr<QObject> makeEncoderProcessTest()
{
    return std::make_unique<EncoderProcessTest>();
}

#include "tst_encoderprocess.moc"
