// Streams copied when they already are what the profile makes: the rules on probe facts, then the
// real encoder and FFmpeg on clips FFmpeg makes at test time.
#include "encoder/encoderharness.h"
#include "encoder/stringlists.h"
#include "keep/keepplan.h"
#include "keep/keeprules.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(encoder::StreamInfo)

namespace {

// The "MP4 H.264 640x360" profile at its defaults, Keep Compatible Streams on.
const QStringList Mp4Profile = QString("-c:v libx264 -s 640x360 -video-ceiling 1000k -c:a aac -b:a 128k -ar 44100 "
                                       "-ac 2 -preset medium -pix_fmt yuv420p -movflags +faststart -keep-streams yes")
                                   .split(' ');
// "3GP H.264 320x240".
const QStringList ThreeGpProfile = QString("-c:v libx264 -s 320x240 -video-ceiling 384k -c:a aac -b:a 64k -ar 22050 "
                                           "-ac 2 -profile:v baseline -pix_fmt yuv420p -keep-streams yes")
                                       .split(' ');

encoder::StreamInfo phoneVideo(const std::function<void(encoder::StreamInfo &)> &change = {})
{
    encoder::StreamInfo video;
    video.kind = "Video";
    video.codec = "h264";
    video.pixelFormat = "yuv420p";
    video.width = 640;
    video.height = 360;
    video.framesPerSecond = 25;
    video.profile = "Main";
    video.level = 30;
    video.bitRate = 500000;
    if (change)
        change(video);
    return video;
}

encoder::StreamInfo phoneAudio(const std::function<void(encoder::StreamInfo &)> &change = {})
{
    encoder::StreamInfo audio;
    audio.kind = "Audio";
    audio.codec = "aac";
    audio.sampleRate = 44100;
    audio.channels = "stereo";
    audio.bitRate = 128000;
    if (change)
        change(audio);
    return audio;
}

// The hash of each stream's packets, video first: equal for a copied stream.
QStringList packetHashes(const QString &path)
{
    return runToEnd("ffmpeg",
                    {"-v", "error", "-i", path, "-map", "0:v", "-map", "0:a", "-c", "copy", "-f", "streamhash", "-"})
        .output.split('\n', Qt::SkipEmptyParts);
}

QStringList keepLines(const QString &log)
{
    QStringList lines;
    for (const QString &line : log.split('\n')) {
        if (line.startsWith("copied: ") || line.startsWith("converted: "))
            lines << line.trimmed();
    }
    return lines;
}

} // namespace

class EncoderKeepTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void decisions_data();
    void decisions();
    void copiedSwitches();
    void conversions_data();
    void conversions();

private:
    QMap<QString, QStringList> m_sourceHashes;
    QTemporaryDir m_dir;
};

void EncoderKeepTest::initTestCase()
{
    if (!ffmpegHasEncoder("libx264"))
        QSKIP("FFmpeg has no libx264");
    QVERIFY(makeClip({"-f",       "lavfi",   "-i",         "testsrc2=s=640x360:r=25:d=1",
                      "-f",       "lavfi",   "-i",         "sine=f=440:r=44100:d=1",
                      "-c:v",     "libx264", "-profile:v", "main",
                      "-pix_fmt", "yuv420p", "-b:v",       "500k",
                      "-c:a",     "aac",     "-b:a",       "96k",
                      "-ac",      "2",       "-shortest",  m_dir.filePath("phone.mp4")}));
    QVERIFY(makeClip({"-f",       "lavfi",   "-i",         "testsrc2=s=320x240:r=15:d=1",
                      "-f",       "lavfi",   "-i",         "sine=f=440:r=22050:d=1",
                      "-c:v",     "libx264", "-profile:v", "baseline",
                      "-pix_fmt", "yuv420p", "-b:v",       "300k",
                      "-c:a",     "aac",     "-b:a",       "48k",
                      "-ac",      "2",       "-shortest",  m_dir.filePath("small.mp4")}));
    for (const QString clip : {"phone.mp4", "small.mp4"})
        m_sourceHashes[clip] = packetHashes(m_dir.filePath(clip));
    QCOMPARE(m_sourceHashes["small.mp4"].size(), 2);
}

void EncoderKeepTest::decisions_data()
{
    using encoder::StreamInfo;
    QTest::addColumn<StreamInfo>("stream");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("reason"); // empty: copied
    const QStringList p = Mp4Profile;
    QTest::newRow("the profile's own") << phoneVideo() << p << "";
    QTest::newRow("another codec") << phoneVideo([](StreamInfo &v) { v.codec = "hevc"; }) << p
                                   << "H.265, the profile makes H.264";
    QTest::newRow("fits the box") << phoneVideo() << p + QStringList{"-video-box", "1280x720", "-s", "640x360"} << "";
    QTest::newRow("portrait in a turned box") << phoneVideo([](StreamInfo &v) { std::swap(v.width, v.height); })
                                              << QStringList{"-c:v", "libx264", "-video-box", "640x360"} << "";
    QTest::newRow("over the box") << phoneVideo() << QStringList{"-c:v", "libx264", "-video-box", "320x240"}
                                  << "640x360, over the box 320x240";
    QTest::newRow("turned for display") << phoneVideo([](StreamInfo &v) { v.rotation = 90; }) << p
                                        << "360x640, the profile makes 640x360";
    QTest::newRow("wide pixels") << phoneVideo([](StreamInfo &v) { v.pixelAspect = 4.0 / 3; }) << p
                                 << "its pixels are not square";
    QTest::newRow("stated shape") << phoneVideo() << p + QStringList{"-source-aspect", "4:3"}
                                  << "Aspect states its shape";
    QTest::newRow("Deinterlace") << phoneVideo() << p + QStringList{"-vf", "yadif"}
                                 << "Deinterlace or another video filter is set";
    QTest::newRow("4:2:2") << phoneVideo([](StreamInfo &v) { v.pixelFormat = "yuv422p"; }) << p
                           << "yuv422p, the profile makes yuv420p";
    QTest::newRow("Constrained Baseline as Main")
        << phoneVideo([](StreamInfo &v) { v.profile = "Constrained Baseline"; })
        << p + QStringList{"-profile:v", "main"} << "";
    QTest::newRow("High as Main") << phoneVideo([](StreamInfo &v) { v.profile = "High"; })
                                  << p + QStringList{"-profile:v", "main"} << "High profile, the profile makes main";
    QTest::newRow("level over") << phoneVideo([](StreamInfo &v) { v.level = 40; }) << p + QStringList{"-level", "3.1"}
                                << "level 40, the profile makes 3.1";
    QTest::newRow("frame rate") << phoneVideo() << p + QStringList{"-r", "30000/1001"}
                                << "25 fps, the profile makes 30000/1001";
    QTest::newRow("over the ceiling") << phoneVideo() << p + QStringList{"-video-ceiling", "400k"}
                                      << "500 kb/s, over the profile's 400 kb/s";
    QTest::newRow("rate unknown") << phoneVideo([](StreamInfo &v) { v.bitRate.reset(); }) << p
                                  << "its bit rate is unknown, the profile makes at most 1000 kb/s";
    QTest::newRow("audio as made") << phoneAudio() << p << "";
    QTest::newRow("5.1") << phoneAudio([](StreamInfo &a) { a.channels = "5.1(side)"; }) << p
                         << "6 channels, the profile makes 2";
    QTest::newRow("mono") << phoneAudio([](StreamInfo &a) { a.channels = "mono"; }) << p
                          << "1 channel, the profile makes 2";
    QTest::newRow("48 kHz") << phoneAudio([](StreamInfo &a) { a.sampleRate = 48000; }) << p
                            << "48000 Hz, the profile makes 44100";
    QTest::newRow("audio over") << phoneAudio([](StreamInfo &a) { a.bitRate = 192000; }) << p
                                << "192 kb/s, over the profile's 128 kb/s";
    QTest::newRow("Volumn") << phoneAudio() << p + QStringList{"-af", "volume=2"}
                            << "Volumn or another audio filter is set";
    QTest::newRow("Opus for AAC") << phoneAudio([](StreamInfo &a) { a.codec = "opus"; }) << p
                                  << "Opus, the profile makes AAC";
}

void EncoderKeepTest::decisions()
{
    QFETCH(encoder::StreamInfo, stream);
    QFETCH(QStringList, parameters);
    QFETCH(QString, reason);
    std::vector<std::string> rest = toStd(parameters);
    encoder::StreamRequest request;
    QVERIFY(encoder::takeStreamSwitches(rest, request));
    encoder::MediaInfo input;
    input.streams = {stream};
    const auto found = stream.kind == "Video" ? encoder::videoConversionReason(stream, input, rest, request)
                                              : encoder::audioConversionReason(stream, rest);
    QCOMPARE(QString::fromStdString(found.value_or("")), reason);
}

// -profile:v fails a copied stream in FFmpeg 5.1; one codec switch per audio stream spares its warning.
void EncoderKeepTest::copiedSwitches()
{
    std::vector<std::string> parameters = toStd({"-c:v", "libx264", "-profile:v", "main", "-b:v", "1000k", "-c:a",
                                                 "aac", "-ac", "2", "-movflags", "+faststart"});
    encoder::applyKeep(parameters, {{0, std::nullopt, true, "0: H.264 640x360", ""},
                                    {1, 0, false, "1: AAC 5.1", "6 channels, the profile makes 2"},
                                    {2, 1, false, "2: AAC stereo", ""}});
    QCOMPARE(parameters,
             toStd({"-ac", "2", "-movflags", "+faststart", "-c:v", "copy", "-c:a:0", "aac", "-c:a:1", "copy"}));
}

void EncoderKeepTest::conversions_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<double>("seconds");
    const QStringList copied = {"copied: 0: H.264 640x360", "copied: 1: AAC stereo"};
    QTest::newRow("MP4 copied") << "phone.mp4" << Mp4Profile << "out.mp4" << copied << 1.0;
    QTest::newRow("under its Target Size")
        << "phone.mp4" << Mp4Profile + QStringList{"-fit", "16M"} << "fit.mp4" << copied << 1.0;
    // The copied video keeps the file under the size; only the audio is made again.
    QTest::newRow("under its Target Size, audio over its rate")
        << "phone.mp4" << Mp4Profile + QStringList{"-b:a", "32k", "-fit", "16M"} << "fitaudio.mp4"
        << QStringList{"copied: 0: H.264 640x360", "converted: 1: AAC stereo (96 kb/s, over the profile's 32 kb/s)"}
        << 1.0;
    QTest::newRow("Deinterlace") << "phone.mp4" << Mp4Profile + QStringList{"-vf", "yadif"} << "yadif.mp4"
                                 << QStringList{"converted: 0: H.264 640x360 (Deinterlace or another video filter is "
                                                "set)",
                                                "copied: 1: AAC stereo"}
                                 << 1.0;
    QStringList boxed = Mp4Profile;
    boxed.replace(boxed.indexOf("-s"), "-video-box");
    boxed.replace(boxed.indexOf("640x360"), "320x240");
    QTest::newRow("320x240 box") << "phone.mp4" << boxed << "box.mp4"
                                 << QStringList{"converted: 0: H.264 640x360 (640x360, over the box 320x240)",
                                                "copied: 1: AAC stereo"}
                                 << 1.0;
    QTest::newRow("a part") << "phone.mp4" << Mp4Profile + QStringList{"-t", "0.5"} << "part.mp4"
                            << QStringList{"converted: 0: H.264 640x360 (only a part of the file is converted)",
                                           "converted: 1: AAC stereo (only a part of the file is converted)"}
                            << 0.5;
    QTest::newRow("3GP copied") << "small.mp4" << ThreeGpProfile << "out.3gp"
                                << QStringList{"copied: 0: H.264 320x240", "copied: 1: AAC stereo"} << 1.0;
}

void EncoderKeepTest::conversions()
{
    QFETCH(QString, input);
    QFETCH(QStringList, parameters);
    QFETCH(QString, output);
    QFETCH(QStringList, lines);
    QFETCH(double, seconds);
    const QString source = m_dir.filePath(input);
    const QString target = m_dir.filePath(output);
    const Finished run = runEncoder(QStringList{"-y", "-i", source} + parameters + QStringList{target});
    QVERIFY2(run.exitStatus == QProcess::NormalExit && run.exitCode == 0, qPrintable(run.output));
    QCOMPARE(keepLines(run.output), lines);
    const QStringList hashes = packetHashes(target);
    QCOMPARE(hashes.size(), 2);
    for (int stream = 0; stream < 2; ++stream)
        QCOMPARE(hashes[stream] == m_sourceHashes[input][stream], lines[stream].startsWith("copied: "));
    const auto figures = libavFigures(target);
    QVERIFY(figures);
    QVERIFY2(qAbs(figures->durationSeconds - seconds) < 0.1, qPrintable(QString::number(figures->durationSeconds)));
}

QTEST_GUILESS_MAIN(EncoderKeepTest)
#include "tst_encoderkeep.moc"
