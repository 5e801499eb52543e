// FFmpeg's log as the encoder reads it: what the user is shown and what the account holds.
#include "ffmpeg/ffmpeglog.h"

#include <QtTest>

using namespace encoder;

class FfmpegLogTest : public QObject {
    Q_OBJECT

private slots:
    void readsLog_data();
    void readsLog();
};

void FfmpegLogTest::readsLog_data()
{
    QTest::addColumn<QStringList>("log"); // lines of FFmpeg 5.1 with -loglevel level+info
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<double>("seconds"); // -1: no stated length
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<QString>("sizes"); // "video/audio" kB, empty when never told
    QTest::newRow("finished conversion")
        << QStringList{"[info] Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'file:a.mp4':",
                       "[info]   Metadata:",
                       "[info]     title           : Stream #0:9: Video: a title that looks like a stream",
                       "[info]   Duration: 01:02:03.50, start: 0.000000, bitrate: 126 kb/s",
                       "[info]   Stream #0:0[0x1](und): Video: h264 (High 4:4:4 Predictive) (avc1 / 0x31637661), "
                       "yuv444p(progressive), 320x240 [SAR 1:1 DAR 4:3], 46 kb/s, 25 fps, 25 tbr, 12800 tbn (default)",
                       "[info]   Stream #0:1[0x2](und): Audio: aac (LC) (mp4a / 0x6134706D), 44100 Hz, mono, fltp, "
                       "69 kb/s (default)",
                       "[info] Stream mapping:",
                       "[info]   Stream #0:0 -> #0:0 (h264 (native) -> h263 (native))",
                       "[info] Output #0, 3gp, to 'file:o.3gp.part':",
                       "[info]   Duration: 00:00:01.00",
                       "[info]   Stream #0:0(und): Video: h263 (s263 / 0x33363273), yuv420p(tv, progressive), 176x144",
                       "[h263 @ 0x55a1c679bb80] [info] warning, clipping 1 dct coefficients to -127..127",
                       "[info] frame=   47 fps=0.0 q=2.0 Lsize=      82kB time=00:00:03.07 bitrate= 218.4kbits/s",
                       "[info] video:69kB audio:11kB subtitle:0kB other streams:0kB global headers:0kB muxing "
                       "overhead: 2.174893%",
                       "[aac @ 0x55a1c6798000] [info] Qavg: 14617.338"}
        << QStringList{} << 3723.5 << QStringList{"Video", "Audio"} << "69/11";
    QTest::newRow("errors shown as -loglevel error shows them")
        << QStringList{"[info] ffmpeg stats and -progress period set to 0.25.",
                       "[fatal] Error selecting an encoder for stream 0:1",
                       "[mp3 @ 0x5581d0c3e140] [error] Header missing",
                       "a second line of that message",
                       "[warning] -vsync is deprecated",
                       "and its second line",
                       "[panic] Assertion failed"}
        << QStringList{"Error selecting an encoder for stream 0:1", "[mp3 @ 0x5581d0c3e140] Header missing",
                       "a second line of that message", "Assertion failed"}
        << -1.0 << QStringList{} << "";
    QTest::newRow("elementary stream, no stated length")
        << QStringList{"[info] Input #0, m4v, from 'file:raw.m4v':",
                       "[info]   Duration: N/A, start: 0.000000, bitrate: N/A",
                       "[info]   Stream #0:0: Video: mpeg4 (Simple Profile), yuv420p, 176x144 [SAR 1:1 DAR 11:9], "
                       "25 tbr, 1200k tbn",
                       "[info] video:0kB audio:24kB subtitle:0kB other streams:0kB global headers:0kB muxing "
                       "overhead: 1.067485%"}
        << QStringList{} << -1.0 << QStringList{"Video"} << "0/24";
    QTest::newRow("a context's info is not the input's")
        << QStringList{"[mov,mp4 @ 0x5581d0c3e140] [info]   Duration: 00:00:09.00",
                       "[info] Input #0, avi, from 'file:clip.avi':",
                       "[info]   Duration: 00:00:03.04, start: 0.000000, bitrate: 430 kb/s",
                       "[avi @ 0x5581d0c3e140] [info]   Stream #0:5: Data: none"}
        << QStringList{} << 3.04 << QStringList{} << "";
}

void FfmpegLogTest::readsLog()
{
    QFETCH(QStringList, log);
    QFETCH(QStringList, shown);
    QFETCH(double, seconds);
    QFETCH(QStringList, kinds);
    QFETCH(QString, sizes);
    FfmpegLog reader;
    QStringList actuallyShown;
    for (const QString &line : log) {
        if (const auto text = reader.takeLine(line.toStdString()))
            actuallyShown << QString::fromStdString(*text);
    }
    QCOMPARE(actuallyShown, shown);
    const FfmpegAccount &account = reader.account();
    QCOMPARE(account.inputSeconds.value_or(-1.0), seconds);
    QStringList actualKinds;
    for (const std::string &kind : account.inputKinds)
        actualKinds << QString::fromStdString(kind);
    QCOMPARE(actualKinds, kinds);
    const QString actualSizes =
        account.sizesSeen ? QStringLiteral("%1/%2").arg(account.videoKilobytes).arg(account.audioKilobytes) : QString();
    QCOMPARE(actualSizes, sizes);
}

QTEST_GUILESS_MAIN(FfmpegLogTest)
#include "tst_ffmpeglog.moc"
