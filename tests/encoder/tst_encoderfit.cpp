// Conversions into a size, by the real encoder and FFmpeg, on clips FFmpeg makes at test time.
#include "encoder/encoderharness.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class EncoderFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void fit_data();
    void fit();
    void stopInFirstPass();
    void crashInFirstPass(); // and the pass logs of encoders killed outright
    void twoAtOnceAsOneAfterTheOther();

private:
    QString clip(const QString &name) const { return m_clips.filePath(name); }
    // The encoders' temporary folder, where each keeps its pass log: empty whenever none runs.
    QProcessEnvironment environment() const;
    bool noPassLogLeft() const { return QDir(m_temp.path()).isEmpty(); }

    QTemporaryDir m_clips;
    QTemporaryDir m_temp;
    QStringList m_video; // the fastest H.264 there is, else MPEG-4
    bool m_hasX264 = false;
};

QProcessEnvironment EncoderFitTest::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), m_temp.path());
    return environment;
}

void EncoderFitTest::initTestCase()
{
    QVERIFY(QFile::exists(encoderPath()));
    // Noise takes every bit it is given, so a rate control that undershoots shows.
    QVERIFY(makeClip({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=10,noise=alls=20:allf=t", "-f",
                      "lavfi", "-i", "sine=frequency=440:duration=10", "-c:v", "mpeg4", "-q:v", "4", "-c:a", "aac",
                      "-b:a", "64k", "-shortest", clip("ten.mp4")}));
    // The same ten seconds four times over, copied: made in no time.
    QVERIFY(makeClip({"-stream_loop", "3", "-i", clip("ten.mp4"), "-c", "copy", clip("forty.mp4")}));
    // An elementary stream states no length at all.
    QVERIFY(makeClip({"-f", "lavfi", "-i", "testsrc=size=176x144:rate=25:duration=3", "-c:v", "mpeg4", "-f", "m4v",
                      clip("raw.m4v")}));
    m_hasX264 = ffmpegHasEncoder(QStringLiteral("libx264"));
    m_video = m_hasX264 ? QStringList{"-c:v", "libx264", "-preset", "ultrafast"} : QStringList{"-c:v", "mpeg4"};
}

void EncoderFitTest::fit_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<double>("size");  // bytes, as the -fit of the parameters says
    QTest::addColumn<double>("least"); // the share of the size the output reaches at least
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<double>("seconds"); // of the output; 0 when FFmpeg must not even start
    QTest::addColumn<QString>("said");   // a pattern, or empty
    // MPEG-4's rate control lands where its quantisers let it, and FFmpeg 5.1 crashes when its
    // second pass is asked for less than they give: these rows need H.264.
    QTest::addColumn<bool>("needsX264");
    const QStringList aac = m_video + QStringList{"-c:a", "aac", "-b:a", "64k"};
    const auto fit = [](const char *size) { return QStringList{"-fit", size}; };
    // A try at a quality that fits is taken: it lands where the quality puts it, under its most.
    QTest::newRow("10 s into 1 MB") << "ten.mp4" << aac + fit("1M") << "out.mp4" << 1e6 << 0.5 << 0 << 10.0 << ""
                                    << false;
    QTest::newRow("40 s into 3 MB") << "forty.mp4" << aac + fit("3M") << "out.mp4" << 3e6 << 0.9 << 0 << 40.0 << ""
                                    << false;
    QTest::newRow("10 s cut to 6 s into 500 kB") << "ten.mp4" << QStringList{"-ss", "2", "-to", "8"} + aac + fit("500k")
                                                 << "out.mp4" << 5e5 << 0.5 << 0 << 6.0 << "" << true;
    // LAME keeps to the bit rates of its standard: 290 kbit/s asked is 320 given, and the first
    // try comes out over.
    const QStringList mp3 = m_video + QStringList{"-c:a", "libmp3lame", "-b:a", "290k"};
    QTest::newRow("audio over its bit rate, converted again")
        << "ten.mp4" << mp3 + fit("700k") << "out.avi" << 7e5 << 0.9 << 0 << 10.0
        << "\\d+\\.\\d+ kB is over 700 kB: converting again at \\d+ kbit/s\n"
        << true;
    // Here the video would have to go under its least bit rate to make room.
    QTest::newRow("over at the lowest bit rate")
        << "ten.mp4" << mp3 + fit("455k") << "out.avi" << 4.55e5 << 0.0 << 1 << 10.0
        << "could not fit in 455 kB: 4\\d\\d\\.\\d kB at the lowest bit rate tried; '.*out.avi' was not changed\n"
        << true;
    QTest::newRow("audio only, at its own bit rate")
        << "forty.mp4" << QStringList{"-vn", "-c:a", "libmp3lame", "-b:a", "64k"} + fit("1M") << "out.mp3" << 1e6 << 0.0
        << 0 << 40.0 << "" << false;
    QTest::newRow("the audio alone too big")
        << "forty.mp4" << aac + fit("200k") << "out.mp4" << 2e5 << 0.0 << 1 << 0.0
        << "cannot fit 00:00:40 in 200 kB: the audio alone needs 32\\d\\.\\d kB; 5\\d\\d\\.\\d kB is the least that "
           "would work\n"
        << false;
    QTest::newRow("no stated length") << "raw.m4v" << aac + fit("16M") << "out.mp4" << 16e6 << 0.0 << 1 << 0.0
                                      << "cannot fit in 16 MB: the length of the input is not known\n"
                                      << false;
}

void EncoderFitTest::fit()
{
    QFETCH(QString, input);
    QFETCH(QStringList, parameters);
    QFETCH(QString, outputName);
    QFETCH(double, size);
    QFETCH(double, least);
    QFETCH(int, exitCode);
    QFETCH(double, seconds);
    QFETCH(QString, said);
    QFETCH(bool, needsX264);
    if (needsX264 && !m_hasX264)
        QSKIP("this FFmpeg has no libx264");
    QTemporaryDir dir;
    const QString output = dir.filePath(outputName);
    QVERIFY(writeFile(output, EarlierOutput));

    const QStringList arguments = QStringList{"-y", "-i", clip(input)} + parameters + QStringList{output};
    const Finished run = runToEnd(encoderPath(), arguments, {}, environment());
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QVERIFY2(run.exitCode == exitCode, qPrintable(run.output));
    QVERIFY2(said.isEmpty() || run.output.contains(QRegularExpression(said)), qPrintable(run.output));
    QVERIFY(!QFile::exists(output + ".part"));
    QVERIFY(noPassLogLeft());
    const QList<double> times = statusTimes(run.output);
    if (exitCode != 0) {
        // What cannot fit at all fails before FFmpeg starts.
        QVERIFY2(seconds > 0 || times.isEmpty(), qPrintable(run.output));
        QCOMPARE(readFile(output), EarlierOutput);
        return;
    }

    // Nothing from FFmpeg but progress: a second pass that found other frames than the first
    // one's says so, and gives up the bit rate. The try at a quality says what it asks, another
    // try why it is made; the tracks are named once, before the first run.
    static const QRegularExpression progress(QStringLiteral(
        "^frame=|^\\S+ [kM]B is over \\S+ [kM]B: converting again|^(kept|left out): |^video rate: quality "));
    for (const QString &line : run.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        QVERIFY2(progress.match(line).hasMatch(), qPrintable(line));
    const qint64 bytes = QFileInfo(output).size();
    QVERIFY2(bytes <= size && bytes >= least * size, qPrintable(QString::number(bytes)));
    const auto figures = libavFigures(output);
    QVERIFY(figures && qAbs(figures->durationSeconds - seconds) < 0.5);
    // One climb to the length: the try at a quality ends at a third, the first pass halfway
    // through the rest, or halfway without that try; another try starts the second half again.
    QVERIFY2(!times.isEmpty() && qAbs(times.last() - seconds) < 0.3, qPrintable(run.output));
    if (!parameters.contains(QStringLiteral("-vn")))
        QVERIFY(std::any_of(times.begin(), times.end(),
                            [&](double t) { return qAbs(t - seconds / 3) < 0.3 || qAbs(t - seconds / 2) < 0.3; }));
    for (qsizetype i = 1; i < times.size(); ++i) {
        QVERIFY2(times[i] <= seconds + 0.05, qPrintable(run.output)); // the input's own length, not the nominal one
        QVERIFY2(times[i] >= times[i - 1] || times[i] >= seconds / 2 - 0.01, qPrintable(run.output));
    }
}

void EncoderFitTest::stopInFirstPass()
{
    QTemporaryDir dir;
    const QString output = dir.filePath("out.mp4");
    QVERIFY(writeFile(output, EarlierOutput));
    // The realtime filter holds FFmpeg to the clip's pace, so the first pass is still busy.
    RunningEncoder run(QStringList{"-y", "-i", clip("ten.mp4"), "-vf", "realtime"} + m_video +
                           QStringList{"-c:a", "aac", "-fit", "1M", output},
                       encoderPath(), environment());
    QTRY_VERIFY_WITH_TIMEOUT(!statusTimes(run.output).isEmpty() && statusTimes(run.output).last() > 0.3, 5000);
    QVERIFY(statusTimes(run.output).last() < 5);
    QVERIFY(!noPassLogLeft());

    QCOMPARE(runToEnd(QStringLiteral("kill"), {"-s", "TERM", QString::number(run.process.processId())}).exitCode, 0);
    QTRY_VERIFY_WITH_TIMEOUT(run.process.state() == QProcess::NotRunning, 5000);
    QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
    QVERIFY(run.process.exitCode() != 0);
    QVERIFY2(run.output.contains(QStringLiteral("stopped on request")), qPrintable(run.output));
    QVERIFY(noPassLogLeft());
    QVERIFY(!QFile::exists(output + ".part"));
    QCOMPARE(readFile(output), EarlierOutput);
}

void EncoderFitTest::crashInFirstPass()
{
    QTemporaryDir dir;
    const QString encoder = encoderCopy(dir, QStringLiteral(VELKOR_TEST_BIN_DIR "/encoder_silent_ffmpeg"));
    QVERIFY(!encoder.isEmpty());
    const QString output = dir.filePath("out.mp4");
    const QStringList arguments = {"-y", "-i", clip("ten.mp4"), "-silent", "0", "-abort", "1", "-fit", "1M", output};
    // What an encoder killed outright left goes; a running one's stays.
    QProcess gone;
    gone.start(QStringLiteral("true"));
    QVERIFY(gone.waitForFinished());
    const QDir temp(m_temp.path());
    const QString orphan = QStringLiteral("wmaspi-fit-%1-AbCdEf").arg(gone.processId());
    const QString live = QStringLiteral("wmaspi-fit-%1-AbCdEf").arg(QCoreApplication::applicationPid());
    QVERIFY(temp.mkpath(orphan + "/inner") && temp.mkdir(live));
    const Finished run = runToEnd(encoder, arguments, {}, environment());
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.output.contains(QStringLiteral("FFmpeg ended abnormally")), qPrintable(run.output));
    QCOMPARE(temp.entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{live});
    QVERIFY(temp.rmdir(live));
    QVERIFY(noPassLogLeft());
    QVERIFY(!QFile::exists(output + ".part"));
}

void EncoderFitTest::twoAtOnceAsOneAfterTheOther()
{
    // Other inputs and sizes: a shared pass log would hand one conversion the other's figures.
    // MPEG-4 has no quality to try first: both go straight to their passes.
    const QStringList mpeg4 = {"-c:v", "mpeg4"};
    const QList<QStringList> conversions = {
        QStringList{"-y", "-i", clip("ten.mp4"), "-t", "5"} + mpeg4 + QStringList{"-c:a", "aac", "-fit", "500k"},
        QStringList{"-y", "-i", clip("forty.mp4"), "-t", "6"} + mpeg4 + QStringList{"-an", "-fit", "400k"},
    };
    QTemporaryDir dir;
    QList<qint64> alone;
    for (qsizetype i = 0; i < conversions.size(); ++i) {
        const QString output = dir.filePath(QStringLiteral("alone%1.mp4").arg(i));
        const Finished run = runToEnd(encoderPath(), conversions[i] + QStringList{output}, {}, environment());
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        alone.append(QFileInfo(output).size());
    }

    RunningEncoder first(conversions[0] + QStringList{dir.filePath("together0.mp4")}, encoderPath(), environment());
    RunningEncoder second(conversions[1] + QStringList{dir.filePath("together1.mp4")}, encoderPath(), environment());
    QTRY_VERIFY_WITH_TIMEOUT(
        first.process.state() == QProcess::NotRunning && second.process.state() == QProcess::NotRunning, 30000);
    QVERIFY2(first.process.exitCode() == 0, qPrintable(first.output));
    QVERIFY2(second.process.exitCode() == 0, qPrintable(second.output));
    QCOMPARE(QFileInfo(dir.filePath("together0.mp4")).size(), alone[0]);
    QCOMPARE(QFileInfo(dir.filePath("together1.mp4")).size(), alone[1]);
    QVERIFY(noPassLogLeft());
}

QTEST_GUILESS_MAIN(EncoderFitTest)
#include "tst_encoderfit.moc"
