// The encoder's reading of an FFmpeg argument list, called directly: which values are values,
// and which switches and filters reach a file; numbers read as FFmpeg reads them.
#include "argumentcheck.h"
#include "ffmpeg/ffmpegnumbers.h"

#include <QtTest>

extern "C" {
#include <libavutil/eval.h>
#include <libavutil/parseutils.h>
}

using namespace encoder;

class ArgumentCheckTest : public QObject {
    Q_OBJECT

private slots:
    void profileParameters_data();
    void profileParameters();
    void numbersAsFfmpegReadsThem_data();
    void numbersAsFfmpegReadsThem();
};

void ArgumentCheckTest::profileParameters_data()
{
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("refusal"); // a part of it; empty when the list is accepted

    QTest::newRow("a shipped profile") << QStringList{"-c:v",       "libx264",   "-s",     "640x360",
                                                      "-b:v",       "1000k",     "-vn",    "-af",
                                                      "volume=0.5", "-preset",   "medium", "-movflags",
                                                      "+faststart", "-bitexact", "-vf",    "yadif"}
                                       << "";
    QTest::newRow("a value with blanks") << QStringList{"-metadata", "title=a b c", "-preset", "fast ~/PWNED.mp4"}
                                         << "";
    QTest::newRow("a value that starts with a dash") << QStringList{"-metadata", "-i"} << "";
    QTest::newRow("valueless and negated switches")
        << QStringList{"-shortest", "-noautorotate", "-nostdin", "-an"} << "";
    QTest::newRow("booleans that take a value") << QStringList{"-autoscale", "0"} << "";
    QTest::newRow("filters without files")
        << QStringList{"-vf", "scale=1:2,drawtext=text=hi:fontsize=20,curves=vintage", "-filter_complex",
                       "[0:v]split[a][b];[a][b]hstack"}
        << "";
    QTest::newRow("library keys without files") << QStringList{"-x264-params", "keyint=60:min-keyint=2"} << "";

    QTest::newRow("a bare word") << QStringList{"-preset", "fast", "/x/PWNED.mp4"}
                                 << "another output, \"/x/PWNED.mp4\" after \"-preset fast\"";
    QTest::newRow("a bare word first") << QStringList{"out.avi"} << "another output, \"out.avi\"";
    QTest::newRow("after a valueless switch") << QStringList{"-an", "x.mp4"} << "\"x.mp4\" after \"-an\"";
    QTest::newRow("dash dash") << QStringList{"--", "x.mp4"} << "\"--\"";
    QTest::newRow("a second input") << QStringList{"-i", "other.avi"} << "\"-i other.avi\" gives FFmpeg another input";
    QTest::newRow("a report in the folder") << QStringList{"-report"} << "\"-report\" names a file";
    QTest::newRow("a preset file") << QStringList{"-fpre", "/x/p.ffpreset"} << "\"-fpre /x/p.ffpreset\"";
    QTest::newRow("a progress file") << QStringList{"-progress", "/x/log"} << "\"-progress /x/log\"";
    QTest::newRow("a stream filter script") << QStringList{"-filter_script:v", "/x/f"} << "\"-filter_script:v /x/f\"";
    QTest::newRow("movie with an id and labels")
        << QStringList{"-lavfi", "[0:v]null[a];movie@m=x.avi[b];[a][b]hstack"} << "filter movie";
    QTest::newRow("an escaped name") << QStringList{"-vf", "mo\\vie=x.avi"} << "filter movie";
    QTest::newRow("a quoted file by key") << QStringList{"-vf", "subtitles=f='a b.srt'"} << "filter subtitles";
    QTest::newRow("a font file first") << QStringList{"-vf", "drawtext=/etc/x"} << "filter drawtext";
    QTest::newRow("a stats file by name")
        << QStringList{"-af:a", "ametadata=mode=print:file=/x/m"} << "filter ametadata";
    QTest::newRow("a curves file after the named")
        << QStringList{"-vf", "curves=preset=vintage:psfile=/x/c.acv"} << "filter curves";
    QTest::newRow("writes beside") << QStringList{"-f", "segment"} << "\"-f segment\" writes files beside";
    QTest::newRow("library stats") << QStringList{"-x265-params", "csv=/x/c.csv"} << "\"-x265-params csv=/x/c.csv\"";
    QTest::newRow("eats the container") << QStringList{"-map_metadata"} << "\"mp4\" after \"-map_metadata -f\"";
}

void ArgumentCheckTest::profileParameters()
{
    QFETCH(QStringList, parameters);
    QFETCH(QString, refusal);
    std::vector<std::string> arguments = {"-nostdin", "-y", "-progress", "pipe:1", "-i", "file:in.avi"};
    for (const QString &parameter : parameters)
        arguments.push_back(parameter.toStdString());
    arguments.insert(arguments.end(), {"-f", "mp4", "-passlogfile", "/tmp/ours", "file:out.mp4.part"});

    const auto refused = argumentsRefusal(arguments, 6, 6 + std::size_t(parameters.size()));
    const QString said = QString::fromStdString(refused.value_or(""));
    if (refusal.isEmpty())
        QVERIFY2(!refused, qPrintable(said));
    else
        QVERIFY2(refused && said.contains(refusal), qPrintable(said));
}

void ArgumentCheckTest::numbersAsFfmpegReadsThem_data()
{
    QTest::addColumn<QString>("text");
    // Plain numbers, read without libav, then FFmpeg's other forms, read by libav.
    for (const char *text : {"25",        "0.1", "29.97", "12.5",       "1000000", ".5",    "5.",         "1e3",
                             "0.1234567", "96k", "1.5M",  "2G",         "128kB",   "64ki",  "0x1F",       "+7",
                             "-2",        " 3",  "1:30",  "00:01:02.5", "500ms",   "ntsc",  "30000/1001", "24000:1001",
                             "1E",        "abc", "",      "23.976",     "12.345",  "0.001", "999.999"})
        QTest::newRow(text) << QString::fromLatin1(text);
}

void ArgumentCheckTest::numbersAsFfmpegReadsThem()
{
    QFETCH(QString, text);
    const std::string given = text.toStdString();

    char *end = nullptr;
    const double number = av_strtod(given.c_str(), &end);
    const bool numberRead = end != given.c_str() && *end == '\0';
    QCOMPARE(ffmpegNumber(given), numberRead ? std::optional(number) : std::nullopt);

    std::int64_t microseconds = 0;
    const bool durationRead = av_parse_time(&microseconds, given.c_str(), 1) >= 0;
    QCOMPARE(ffmpegDuration(given), durationRead ? std::optional(microseconds) : std::nullopt);

    AVRational rate{0, 1};
    const bool rateRead = av_parse_video_rate(&rate, given.c_str()) >= 0;
    QCOMPARE(ffmpegFrameRate(given), rateRead ? std::optional(av_q2d(rate)) : std::nullopt);
}

QTEST_GUILESS_MAIN(ArgumentCheckTest)
#include "tst_argumentcheck.moc"
