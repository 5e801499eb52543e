// The tracks a conversion keeps, burns in and leaves out, by the real encoder and FFmpeg, on
// clips FFmpeg and spumux make at test time.
#include "core/protocol/tracks.h"
#include "encoder/encoderharness.h"
#include "verdict/outputcheck.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList Mpeg4 = {"-c:v", "mpeg4", "-q:v", "5", "-c:a", "aac", "-b:a", "48k"};

QStringList profileFor(const QString &extension)
{
    if (extension == "3gp")
        return To3gp;
    if (extension == "webm")
        return {"-c:v", "libvpx", "-deadline", "realtime", "-cpu-used", "8", "-c:a", "libopus", "-ac", "2"};
    return Mpeg4;
}

// "v a:eng+d s:ger+f": each stream's kind, language and default and forced flags, as FFmpeg reads
// the file back; the video's flags say nothing of tracks and are left out.
QString streamSummary(const QString &path)
{
    const Finished probe = runToEnd("ffprobe", {"-v", "error", "-show_streams", "-of", "json", path});
    const QJsonDocument read = QJsonDocument::fromJson(probe.output.toUtf8());
    if (read.isNull())
        return probe.output; // FFprobe's complaint, to show in the comparison
    QStringList streams;
    for (const QJsonValue &value : read["streams"].toArray()) {
        const QJsonObject stream = value.toObject();
        if (stream["codec_type"].toString() == "data")
            continue; // MP4 holds its chapters in a text track of their own
        QString entry = stream["codec_type"].toString().left(1);
        const QString language = stream["tags"]["language"].toString();
        if (!language.isEmpty() && language != "und")
            entry += ":" + language;
        if (entry != "v") {
            if (stream["disposition"]["default"].toInt())
                entry += "+d";
            if (stream["disposition"]["forced"].toInt())
                entry += "+f";
        }
        streams << entry;
    }
    return streams.join(' ');
}

int chapterCount(const QString &path)
{
    const Finished probe = runToEnd("ffprobe", {"-v", "error", "-show_chapters", "-of", "json", path});
    return int(QJsonDocument::fromJson(probe.output.toUtf8())["chapters"].toArray().size());
}

QStringList trackLines(const QString &log)
{
    QStringList lines;
    for (const QString &line : log.split('\n')) {
        if (line.startsWith("kept: ") || line.startsWith("burned in: ") || line.startsWith("left out: "))
            lines << line.trimmed();
    }
    return lines;
}

} // namespace

class EncoderTracksTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void probeListsTracks();
    void rules_data();
    void rules();
    void burnedIn_data();
    void burnedIn();
    void profileMapsItsOwn();
    void profileFilterStillRefused();
    void fitKeepsTheTracks();
    void missingTrack();

private:
    QString clip(const QString &name) const { return m_clips.filePath(name); }
    // The luma of the frame one second in.
    QByteArray frame(const QString &path);
    Finished convert(const QString &input, const QStringList &switches, const QString &output,
                     const QString &workingDirectory = {});

    QTemporaryDir m_clips;
    QTemporaryDir m_outputs;
    bool m_pictures = false;
};

void EncoderTracksTest::initTestCase()
{
    QVERIFY(QFile::exists(encoderPath()));
    const QByteArray cue = "1\n00:00:00,200 --> 00:00:01,900\nWWWW MMMM WWWW\n";
    QVERIFY(writeFile(clip("a.srt"), cue));
    QVERIFY(makeClip({"-i", clip("a.srt"), clip("b.ass")}));
    QVERIFY(writeFile(clip("chapters.txt"), ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=1000\ntitle=One\n"
                                            "[CHAPTER]\nTIMEBASE=1/1000\nSTART=1000\nEND=2000\ntitle=Two\n"));
    // Three audio languages, the first 5.1 and default; SubRip and a forced ASS with a title.
    const QStringList sources = QStringLiteral("-f lavfi -i testsrc=size=160x120:rate=10:duration=2 "
                                               "-f lavfi -i sine=frequency=440:duration=2 "
                                               "-f lavfi -i sine=frequency=660:duration=2 "
                                               "-f lavfi -i sine=frequency=880:duration=2")
                                    .split(' ');
    const QStringList streams =
        QStringLiteral("-map 0 -map 1 -map 2 -map 3 -map 4 -map 5 -map_chapters 6 -c:v mpeg4 -c:a:0 ac3 -ac:a:0 6 "
                       "-c:a:1 aac -c:a:2 aac -c:s:0 srt -c:s:1 ass -metadata:s:a:0 language=eng "
                       "-metadata:s:a:1 language=ger -metadata:s:a:2 language=fre -metadata:s:s:0 language=eng "
                       "-metadata:s:s:1 language=ger -disposition:a:0 default -disposition:a:1 0 "
                       "-disposition:s:0 0 -disposition:s:1 forced")
            .split(' ');
    QVERIFY(makeClip(sources + QStringList{"-i", clip("a.srt"), "-i", clip("b.ass"), "-i", clip("chapters.txt")} +
                     streams + QStringList{"-metadata:s:s:1", "title=Signs: a, b", clip("multi.mkv")}));

    // A DVD picture subtitle: spumux puts a drawn box into an MPEG-PS, which is remuxed into MKV.
    const QString spumux = QStandardPaths::findExecutable("spumux");
    if (spumux.isEmpty())
        return;
    QVERIFY(makeClip({"-f", "lavfi", "-i", "color=c=white:s=96x48,drawbox=x=8:y=8:w=80:h=32:color=black:t=fill",
                      "-frames:v", "1", "-pix_fmt", "rgb24", clip("box.png")}));
    QVERIFY(makeClip({"-f", "lavfi", "-i", "testsrc=size=720x576:rate=25:duration=2", "-f", "lavfi", "-i",
                      "sine=duration=2", "-target", "pal-dvd", "-b:v", "300k", clip("plain.mpg")}));
    QVERIFY(writeFile(clip("box.xml"), "<subpictures><stream><spu start=\"00:00:00.5\" end=\"00:00:02\" "
                                       "image=\"box.png\" xoffset=\"16\" yoffset=\"16\"/></stream></subpictures>"));
    QProcess mux;
    mux.setWorkingDirectory(m_clips.path());
    mux.setStandardInputFile(clip("plain.mpg"));
    mux.setStandardOutputFile(clip("boxed.mpg"));
    mux.start(spumux, {"-s0", "box.xml"});
    QVERIFY(mux.waitForFinished(60000) && mux.exitCode() == 0);
    QVERIFY(
        makeClip({"-i", clip("boxed.mpg"), "-map", "0:v", "-map", "0:a", "-map", "0:s", "-c:v", "mpeg4", "-s",
                  "160x128", "-c:a", "copy", "-c:s", "copy", "-metadata:s:s:0", "language=eng", clip("picture.mkv")}));
    m_pictures = true;
}

Finished EncoderTracksTest::convert(const QString &input, const QStringList &switches, const QString &output,
                                    const QString &workingDirectory)
{
    return runEncoder(QStringList{"-y", "-i", input} + switches + QStringList{output}, workingDirectory);
}

QByteArray EncoderTracksTest::frame(const QString &path)
{
    const QString raw = path + ".gray";
    if (!makeClip({"-ss", "1", "-i", path, "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "gray", raw}))
        return {};
    return readFile(raw);
}

void EncoderTracksTest::probeListsTracks()
{
    const Finished probe = runEncoder({"-i", clip("multi.mkv")});
    QCOMPARE(probe.exitCode, 0);
    QStringList labels;
    for (const protocol::Track &track : protocol::tracksOfReport(probe.output.toStdString()))
        labels << QString::fromStdString(protocol::trackLabel(track));
    QCOMPARE(labels, (QStringList{"0: MPEG-4", "1: English AC-3 5.1", "2: German AAC mono", "3: French AAC mono",
                                  "4: English SubRip", "5: German ASS \"Signs: a, b\" (forced)"}));
    QVERIFY2(probe.output.contains("    Stream #0:1(eng): Audio: ac3, 44100 Hz, 5.1(side) (default)\n"),
             qPrintable(probe.output));
}

void EncoderTracksTest::rules_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("streams");
    QTest::addColumn<QString>("line"); // one of the log's track lines

    QTest::newRow("mp4: the default audio and the first subtitle, as text")
        << "multi.mkv"
        << "mp4" << QStringList{} << "v a:eng+d s:eng+d"
        << "left out: 2: German AAC mono, by Audio Tracks = Preferred language";
    QTest::newRow("mp4: all of them") << "multi.mkv"
                                      << "mp4" << QStringList{"-audio-tracks", "all", "-subtitles", "all"}
                                      << "v a:eng+d a:ger a:fre s:eng+d s:ger+f"
                                      << "kept: 5: German ASS \"Signs: a, b\" (forced)";
    QTest::newRow("mkv: preferred languages, forced subtitles")
        << "multi.mkv"
        << "mkv" << QStringList{"-audio-tracks", "languages", "-audio-langs", "fre,ger", "-subtitles", "forced"}
        << "v a:ger+d a:fre s:ger+f"
        << "left out: 4: English SubRip, by Subtitles = Forced only";
    QTest::newRow("webm: the task's subtitle as WebVTT")
        << "multi.mkv"
        << "webm" << QStringList{"-subtitles", "none", "-subtitle-track", "4", "-audio-langs", "ger"}
        << "v a:ger+d s:eng+d"
        << "left out: 5: German ASS \"Signs: a, b\" (forced), by the task's Subtitle Track "
           "choice";
    QTest::newRow("3gp: the task's audio, no subtitle")
        << "multi.mkv"
        << "3gp" << QStringList{"-audio-track", "3", "-subtitles", "none"} << "v a:fre+d"
        << "left out: 1: English AC-3 5.1, by the task's Audio Track choice";
    QTest::newRow("mkv keeps a picture subtitle") << "picture.mkv"
                                                  << "mkv" << QStringList{"-subtitles", "all"} << "v a+d s:eng"
                                                  << "kept: 2: English DVD";
    QTest::newRow("mp4 leaves a picture subtitle out") << "picture.mkv"
                                                       << "mp4" << QStringList{"-subtitles", "all"} << "v a+d"
                                                       << "left out: 2: English DVD, as MP4 holds no picture subtitle";
}

void EncoderTracksTest::rules()
{
    QFETCH(QString, input);
    QFETCH(QString, extension);
    QFETCH(QStringList, switches);
    QFETCH(QString, streams);
    QFETCH(QString, line);
    if (input == "picture.mkv" && !m_pictures)
        QSKIP("spumux is not installed");

    const QString output = m_outputs.filePath(QString(QTest::currentDataTag()).left(8) + "." + extension);
    const Finished run = convert(clip(input), profileFor(extension) + switches, output);
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    QCOMPARE(streamSummary(output), streams);
    const QStringList lines = trackLines(run.output);
    // Every input stream is accounted for, once.
    QCOMPARE(lines.size(), input == "multi.mkv" ? 6 : 3);
    QVERIFY2(lines.contains(line), qPrintable(lines.join('\n')));
    // Our maps leave the chapters to FFmpeg's own, which keeps them.
    if (input == "multi.mkv" && (extension == "mkv" || extension == "mp4"))
        QCOMPARE(chapterCount(output), 2);
}

void EncoderTracksTest::burnedIn_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("name"); // the input's name in a folder of its own
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("line");

    QTest::newRow("forced text, quotes and colons in the name")
        << "multi.mkv"
        << "-it's [a]:b, c.mkv" << QStringList{"-burn-subtitles", "forced"}
        << "burned in: 5: German ASS \"Signs: a, b\" (forced)";
    QTest::newRow("the task's text subtitle")
        << "multi.mkv"
        << "film.mkv" << QStringList{"-subtitle-track", "4", "-burn-subtitles", "yes"}
        << "burned in: 4: English SubRip";
    QTest::newRow("a picture subtitle") << "picture.mkv"
                                        << "film's.mkv" << QStringList{"-burn-subtitles", "yes"}
                                        << "burned in: 2: English DVD";
}

void EncoderTracksTest::burnedIn()
{
    QFETCH(QString, input);
    QFETCH(QString, name);
    QFETCH(QStringList, switches);
    QFETCH(QString, line);
    if (input == "picture.mkv" && !m_pictures)
        QSKIP("spumux is not installed");
    QTemporaryDir folder;
    QVERIFY(QFile::copy(clip(input), folder.filePath(name)));

    // The burn, the profile's own filter, and both: none may lose the other.
    const QStringList flip = {"-vf", "hflip"};
    QByteArray frames[4];
    const QList<QStringList> variants = {{}, switches, flip, flip + switches};
    for (int i = 0; i < 4; ++i) {
        const QString output = folder.filePath(QString("out%1.mp4").arg(i));
        // The name goes to the encoder as it is, a leading "-" and all.
        const Finished run = convert(name, Mpeg4 + variants[i], output, folder.path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        QCOMPARE(trackLines(run.output).contains(line), !variants[i].isEmpty() && variants[i] != flip);
        frames[i] = frame(output);
        QCOMPARE(frames[i].size(), input == "multi.mkv" ? 160 * 120 : 160 * 128);
    }
    const auto differing = [](const QByteArray &a, const QByteArray &b) {
        int pixels = 0;
        for (qsizetype i = 0; i < a.size(); ++i)
            pixels += std::abs(int(quint8(a[i])) - int(quint8(b[i]))) > 60;
        return pixels;
    };
    QVERIFY2(differing(frames[0], frames[1]) > 100, "nothing was burned in");
    QVERIFY2(differing(frames[2], frames[3]) > 100, "the profile's filter lost the burn");
    QVERIFY2(differing(frames[1], frames[3]) > 100, "the burn lost the profile's filter");
}

void EncoderTracksTest::profileMapsItsOwn()
{
    const QString output = m_outputs.filePath("mapped.mkv");
    const Finished run =
        convert(clip("multi.mkv"),
                Mpeg4 + QStringList{"-map", "0:0", "-map", "0:2", "-subtitles", "all", "-audio-tracks", "all"}, output);
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    QCOMPARE(streamSummary(output), "v a:ger");
    QVERIFY(run.output.contains("maps its own streams"));
    QVERIFY(trackLines(run.output).isEmpty());
}

void EncoderTracksTest::profileFilterStillRefused()
{
    // Our burn may name the input; a profile's own filter may not name any file.
    const QString output = m_outputs.filePath("refused.mp4");
    const Finished run = convert(
        clip("multi.mkv"), Mpeg4 + QStringList{"-vf", "subtitles=" + clip("a.srt"), "-burn-subtitles", "yes"}, output);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.output.contains("has its filter subtitles reach a file of its own"), qPrintable(run.output));
    QVERIFY(!QFile::exists(output));
}

void EncoderTracksTest::fitKeepsTheTracks()
{
    // Both passes get the same streams: the first one's statistics must fit the second.
    const QString output = m_outputs.filePath("fit.mkv");
    const Finished run = convert(
        clip("multi.mkv"), Mpeg4 + QStringList{"-fit", "400k", "-audio-tracks", "all", "-subtitles", "all"}, output);
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    QCOMPARE(streamSummary(output), "v a:eng+d a:ger a:fre s:eng s:ger+f");
}

void EncoderTracksTest::missingTrack()
{
    // An output short of a planned track is no conversion of the input.
    const QString output = m_outputs.filePath("one-audio.mkv");
    QVERIFY(makeClip({"-i", clip("multi.mkv"), "-map", "0:0", "-map", "0:1", "-c", "copy", output}));
    encoder::Expectation expected;
    expected.tracks = encoder::TrackCounts{1, 2, 0};
    const auto check = encoder::checkOutput(output.toStdString(), expected);
    QCOMPARE(check.problem, std::optional<std::string>("The output holds 1 of the 2 audio tracks planned"));
    expected.tracks = encoder::TrackCounts{1, 1, 1};
    QCOMPARE(encoder::checkOutput(output.toStdString(), expected).problem,
             std::optional<std::string>("The output holds 0 of the 1 subtitle track planned"));
    expected.tracks = encoder::TrackCounts{1, 1, 0};
    QVERIFY(!encoder::checkOutput(output.toStdString(), expected).problem);
}

QTEST_GUILESS_MAIN(EncoderTracksTest)
#include "tst_encodertracks.moc"
