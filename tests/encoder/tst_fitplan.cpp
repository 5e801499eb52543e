// The arithmetic and the decisions of a conversion into a size, before and between FFmpeg's runs.
#include "commandline.h"
#include "conversionplan.h"
#include "core/protocol/statusline.h"
#include "encoder/stringlists.h"
#include "ffmpeg/progressstatus.h"
#include "fit/fitbudget.h"
#include "fit/fitparameters.h"
#include "fit/fitplan.h"
#include "fit/fitsize.h"

#include <QtTest>

using namespace encoder;

namespace {

// A 3 s clip of 320x240 video and mono audio, as libavformat describes it.
MediaInfo clipInfo(std::optional<double> seconds, bool guessed = false)
{
    MediaInfo info;
    info.durationSeconds = seconds;
    info.durationGuessed = guessed;
    StreamInfo video;
    video.kind = "Video";
    StreamInfo audio;
    audio.kind = "Audio";
    audio.bitRate = 96000;
    info.streams = {video, audio};
    return info;
}

} // namespace

class FitPlanTest : public QObject {
    Q_OBJECT

private slots:
    void sizeText_data();
    void sizeText();
    void sizesInTheUsersUnit();
    void lowering_data();
    void lowering();
    void plan_data();
    void plan();
    void parameters_data();
    void parameters();
    void fitTakenFromFfmpegsSwitches();
    void bothPassesMakeOneClimb();
};

void FitPlanTest::sizeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("bytes"); // 0: refused
    QTest::addColumn<QString>("given");
    QTest::newRow("megabytes") << "16M" << 16e6 << "16 MB";
    QTest::newRow("kilobytes") << "700k" << 7e5 << "700 kB";
    QTest::newRow("a fraction") << "1.5M" << 1.5e6 << "1.5 MB";
    QTest::newRow("upper-case K, and B") << "700KB" << 7e5 << "700 kB";
    QTest::newRow("gigabytes") << "2G" << 2e9 << "2 GB";
    QTest::newRow("bytes") << "250000" << 25e4 << "250000 bytes";
    QTest::newRow("empty") << "" << 0.0 << "";
    QTest::newRow("unit alone") << "M" << 0.0 << "";
    QTest::newRow("negative") << "-1M" << 0.0 << "";
    QTest::newRow("exponent") << "1e6" << 0.0 << "";
    QTest::newRow("point without digits after") << "1.M" << 0.0 << "";
    QTest::newRow("unknown unit") << "16X" << 0.0 << "";
    QTest::newRow("megabits") << "16mb" << 0.0 << "";
    QTest::newRow("under a kilobyte") << "0.5k" << 0.0 << "";
}

void FitPlanTest::sizeText()
{
    QFETCH(QString, text);
    QFETCH(double, bytes);
    QFETCH(QString, given);
    const auto size = parseFitSize(text.toStdString());
    QCOMPARE(bool(size), bytes > 0);
    if (size) {
        QCOMPARE(size->bytes, bytes);
        QCOMPARE(QString::fromStdString(givenText(*size)), given);
    }
}

void FitPlanTest::sizesInTheUsersUnit()
{
    const FitSize megabytes = *parseFitSize("16M");
    QCOMPARE(overText(17.23e6, megabytes), "17.2 MB");
    // One decimal would read as no more than the size.
    QCOMPARE(overText(16.03e6, megabytes), "16.03 MB");
    QCOMPARE(overText(16.0004e6, megabytes), "16.000 MB");
    QCOMPARE(leastText(6.11e6, megabytes), "6.2 MB");
    QCOMPARE(leastText(6.1e6, megabytes), "6.1 MB");
    QCOMPARE(overText(712345, *parseFitSize("700k")), "712.3 kB");
    QCOMPARE(leastText(2000.2, *parseFitSize("1500")), "2001 bytes");
    QCOMPARE(unfitSentence(17.23e6, megabytes), "could not fit in 16 MB: 17.2 MB at the lowest bit rate tried");
}

void FitPlanTest::lowering_data()
{
    QTest::addColumn<double>("reached");
    QTest::addColumn<double>("videoBytes");
    QTest::addColumn<double>("lowered");
    // Against 1 MB the next try aims at 975 kB: the 45 kB over it come off the video's 800 kB.
    QTest::newRow("2 % over") << 1.02e6 << 800e3 << 800e3 * 755 / 800;
    QTest::newRow("hardly over") << 1.0001e6 << 900e3 << 800e3 * (900e3 - 25.1e3) / 900e3;
    QTest::newRow("the video would have to go") << 2e6 << 500e3 << 0.0;
}

void FitPlanTest::lowering()
{
    QFETCH(double, reached);
    QFETCH(double, videoBytes);
    QFETCH(double, lowered);
    QCOMPARE(loweredVideoBitRate(800e3, reached, videoBytes, 1e6), lowered);
}

void FitPlanTest::plan_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<std::optional<double>>("inputSeconds");
    QTest::addColumn<bool>("guessed");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("muxer");
    QTest::addColumn<double>("seconds");      // of the output, when planned
    QTest::addColumn<double>("audioBitRate"); // ours to set, 0 for none
    QTest::addColumn<QString>("why");         // why it cannot be, or empty
    const QStringList aac = {"-c:a", "aac"};
    QTest::newRow("trimmed by -ss and -t")
        << "3M" << std::optional(60.0) << false << QStringList{"-ss", "10", "-t", "20", "-b:a", "64k"} << "mp4" << 20.0
        << 0.0 << "";
    QTest::newRow("trimmed by -ss and -to")
        << "3M" << std::optional(60.0) << false << QStringList{"-ss", "10", "-to", "25", "-b:a", "64k"} << "mp4" << 15.0
        << 0.0 << "";
    QTest::newRow("-map leaves the input's length")
        << "3M" << std::optional(60.0) << false << QStringList{"-map", "0", "-t", "30"} + aac << "mp4" << 30.0 << 128e3
        << "";
    QTest::newRow("codec's bit rate set")
        << "3M" << std::optional(60.0) << false << QStringList{"-c:a", "libopus"} << "matroska" << 60.0 << 96e3 << "";
    QTest::newRow("copied audio at its own")
        << "3M" << std::optional(60.0) << false << QStringList{"-c:a", "copy"} << "matroska" << 60.0 << 0.0 << "";
    QTest::newRow("no length") << "16M" << std::optional<double>() << false << aac << "mp4" << 0.0 << 0.0
                               << "cannot fit in 16 MB: the length of the input is not known";
    QTest::newRow("a length guessed from the bit rate")
        << "16M" << std::optional(0.01) << true << aac << "mp4" << 0.0 << 0.0
        << "cannot fit in 16 MB: the length of the input is not known";
    QTest::newRow("copied video") << "16M" << std::optional(60.0) << false << QStringList{"-c", "copy"} << "mp4" << 0.0
                                  << 0.0
                                  << "cannot fit in 16 MB: the video is copied as it is, at a bit rate that is not "
                                     "ours to choose";
    QTest::newRow("not a size") << "16 M" << std::optional(60.0) << false << aac << "mp4" << 0.0 << 0.0
                                << "-fit takes a size such as 16M, 700k or 1.5M, not '16 M'";
    // 4.8 MB of audio; 2.4 MB of video at 32 kbit/s and 0.42 MB of index on top, after the margin.
    QTest::newRow("the audio alone too big")
        << "1M" << std::optional(600.0) << false << QStringList{"-b:a", "64k"} << "mp4" << 0.0 << 0.0
        << "cannot fit 00:10:00 in 1 MB: the audio alone needs 4.8 MB; 7.8 MB is "
           "the least that would work";
    QTest::newRow("the video under its floor")
        << "1M" << std::optional(600.0) << false << QStringList{"-an"} << "mp4" << 0.0 << 0.0
        << "cannot fit 00:10:00 in 1 MB: the video would get 7 kbit/s, under "
           "the least of 32 kbit/s; 2.9 MB is the least that would work";
    QTest::newRow("audio only, too big") << "1M" << std::optional(600.0) << false << QStringList{"-vn", "-b:a", "64k"}
                                         << "mp3" << 0.0 << 0.0
                                         << "cannot fit 00:10:00 in 1 MB: the audio alone needs 4.8 MB; 5.5 MB is the "
                                            "least that would work";
}

void FitPlanTest::plan()
{
    QFETCH(QString, size);
    QFETCH(std::optional<double>, inputSeconds);
    QFETCH(bool, guessed);
    QFETCH(QStringList, parameters);
    QFETCH(QString, muxer);
    QFETCH(double, seconds);
    QFETCH(double, audioBitRate);
    QFETCH(QString, why);
    const MuxerKinds kinds{muxer != "mp3", true};
    const auto planned =
        planFit(size.toStdString(), clipInfo(inputSeconds, guessed), toStd(parameters), kinds, muxer.toStdString());
    if (const auto *sentence = std::get_if<std::string>(&planned)) {
        QCOMPARE(QString::fromStdString(*sentence), why);
        return;
    }
    QVERIFY2(why.isEmpty(), qPrintable(why));
    const FitPlan &plan = std::get<FitPlan>(planned);
    QCOMPARE(plan.seconds, seconds);
    QCOMPARE(plan.audioBitRate.value_or(0), audioBitRate);
    QVERIFY(plan.video && plan.videoBitRate > LeastVideoBitRate);
}

void FitPlanTest::parameters_data()
{
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<bool>("video");
    QTest::addColumn<double>("pinnedAudio"); // 0: the parameters' own
    QTest::addColumn<QStringList>("rewritten");
    QTest::newRow("profile's bit rate replaced")
        << QStringList{"-c:v", "libx264", "-b:v", "800k", "-c:a", "aac", "-b:a", "64k"} << true << 0.0
        << QStringList{"-c:v", "libx264", "-c:a", "aac", "-b:a", "64k", "-b:v", "500000"};
    QTest::newRow("what would override it goes too")
        << QStringList{"-crf", "23", "-vb", "1M", "-pass", "1", "-passlogfile", "x", "-s", "320x240"} << true << 0.0
        << QStringList{"-s", "320x240", "-b:v", "500000"};
    QTest::newRow("audio bit rate set when left to the codec")
        << QStringList{"-c:a", "aac"} << true << 128e3
        << QStringList{"-c:a", "aac", "-b:v", "500000", "-b:a", "128000"};
    QTest::newRow("audio only keeps every switch")
        << QStringList{"-vn", "-b:v", "800k"} << false << 128e3 << QStringList{"-vn", "-b:v", "800k", "-b:a", "128000"};
}

void FitPlanTest::parameters()
{
    QFETCH(QStringList, parameters);
    QFETCH(bool, video);
    QFETCH(double, pinnedAudio);
    QFETCH(QStringList, rewritten);
    const auto audio = pinnedAudio > 0 ? std::optional(pinnedAudio) : std::nullopt;
    QCOMPARE(toQt(fitParameters(toStd(parameters), video ? std::optional(500e3) : std::nullopt, audio)), rewritten);
    // FFmpeg's own reading of the bit rates, and its last switch winning.
    QCOMPARE(audioBitRate(toStd({"-b:a", "64k", "-ab", "1.5M"}))->bitsPerSecond, 1.5e6);
    QVERIFY(!audioBitRate(toStd({"-b:a", "fast"})));
}

void FitPlanTest::fitTakenFromFfmpegsSwitches()
{
    const auto request = std::get<ConversionRequest>(
        parseCommandLine(toStd({"-y", "-i", "in.avi", "-fit", "1M", "-c:v", "mpeg4", "-fit", "2M", "out.avi"})));
    QCOMPARE(request.fit, std::optional<std::string>("2M"));
    QCOMPARE(toQt(request.parameters), QStringList({"-c:v", "mpeg4"}));
    const auto bare = std::get<ConversionRequest>(parseCommandLine(toStd({"-y", "-i", "in.avi", "-fit", "out.avi"})));
    QCOMPARE(bare.fit, std::optional<std::string>(""));
    QVERIFY(bare.parameters.empty());
    const auto plain = std::get<ConversionRequest>(parseCommandLine(toStd({"-y", "-i", "in.avi", "-an", "out.avi"})));
    QVERIFY(!plain.fit);
}

void FitPlanTest::bothPassesMakeOneClimb()
{
    // A 30 s output: the first pass over 0-15 s of the bar, the second over 15-30 s.
    const auto shownAt = [](ProgressShare share, const char *microseconds) {
        ProgressStatus status(share);
        status.takeLine(std::string("out_time_us=") + microseconds);
        const std::string line = *status.takeLine("progress=continue");
        return QString::fromStdString(std::string(protocol::timeField(line)));
    };
    QCOMPARE(shownAt({0, 0.5, 15}, "10000000"), "5.00");
    QCOMPARE(shownAt({0, 0.5, 15}, "31000000"), "15.00");
    QCOMPARE(shownAt({15, 0.5, 30}, "0"), "15.00");
    QCOMPARE(shownAt({15, 0.5, 30}, "30000000"), "30.00");
    QCOMPARE(shownAt({15, 0.5, 30}, "30500000"), "30.00");
    QCOMPARE(shownAt({}, "30500000"), "30.50");
}

QTEST_GUILESS_MAIN(FitPlanTest)
#include "tst_fitplan.moc"
