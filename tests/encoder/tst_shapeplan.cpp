// The picture's shape: the sizes worked out from the source's facts and the profile's switches,
// and where the filter goes among the profile's own, called directly.
#include "encoder/stringlists.h"
#include "probe/probefacts.h"
#include "shape/conversionshape.h"
#include "shape/shapefilter.h"
#include "shape/shapegeometry.h"
#include "tracks/trackarguments.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace encoder;

Q_DECLARE_METATYPE(encoder::StreamInfo)

namespace {

StreamInfo video(int width, int height, double pixelAspect = 1, int rotation = 0)
{
    StreamInfo stream;
    stream.kind = "Video";
    stream.width = width;
    stream.height = height;
    stream.pixelAspect = pixelAspect;
    stream.rotation = rotation;
    return stream;
}

// Shapes a source as a conversion into MP4 with these switches does; the parameters FFmpeg gets.
QStringList planned(const StreamInfo &source, const QStringList &switches)
{
    ConversionRequest request;
    request.input = "in.mkv";
    request.output = "out.mp4";
    request.parameters = toStd(switches);
    if (!takeStreamSwitches(request.parameters, request.streams))
        return {"refused"};
    MediaInfo info;
    info.streams = {source};
    planConversionShape(request, {"-f", "mp4"}, MediaProbe{info, {}});
    return toQt(request.parameters);
}

} // namespace

class ShapePlanTest : public QObject {
    Q_OBJECT

private slots:
    void factsComeBackWhole();
    void geometry_data();
    void geometry();
    void line();
    void filterJoinsTheProfiles_data();
    void filterJoinsTheProfiles();
    void burnedSubtitleKeepsTheShape();
};

void ShapePlanTest::geometry_data()
{
    QTest::addColumn<StreamInfo>("source");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("aspect");
    QTest::addColumn<QString>("encoder");
    QTest::addColumn<QString>("filter"); // empty: nothing changes

    const QString scaled = QStringLiteral("scale=%1,setsar=1");
    QTest::newRow("16:9") << video(1920, 1080) << "640x360"
                          << ""
                          << "libx264" << scaled.arg("640:360");
    QTest::newRow("4:3 in a wide box") << video(640, 480) << "640x360"
                                       << ""
                                       << "libx264" << scaled.arg("480:360");
    QTest::newRow("anamorphic PAL") << video(720, 576, 64.0 / 45) << "640x360"
                                    << ""
                                    << "libx264" << scaled.arg("640:360");
    QTest::newRow("portrait") << video(1080, 1920) << "640x360"
                              << ""
                              << "libx264" << scaled.arg("360:640");
    QTest::newRow("turned 90") << video(1920, 1080, 1, 90) << "640x360"
                               << ""
                               << "libx264" << scaled.arg("360:640");
    QTest::newRow("small, not enlarged") << video(320, 240) << "640x360"
                                         << ""
                                         << "libx264" << scaled.arg("320:240");
    QTest::newRow("odd source made even") << video(321, 241) << "1280x720"
                                          << ""
                                          << "libx264" << scaled.arg("320:240");
    QTest::newRow("odd box made even") << video(1920, 1080) << "400x301"
                                       << ""
                                       << "libx264" << scaled.arg("400:226");
    QTest::newRow("H.263: bars") << video(1920, 1080) << "176x144"
                                 << ""
                                 << "h263" << scaled.arg("176:100") + ",pad=176:144:0:22:black";
    QTest::newRow("H.263: portrait, box not turned") << video(1080, 1920) << "176x144"
                                                     << ""
                                                     << "h263" << scaled.arg("82:144") + ",pad=176:144:46:0:black";
    QTest::newRow("H.263: enlarged") << video(160, 120) << "352x288"
                                     << ""
                                     << "h263" << scaled.arg("352:264") + ",pad=352:288:0:12:black";
    QTest::newRow("H.263: a box it cannot make gives the size inside") << video(176, 144) << "320x240"
                                                                       << ""
                                                                       << "h263" << scaled.arg("176:144");
    QTest::newRow("stated 16:9") << video(720, 576) << "640x360"
                                 << "16:9"
                                 << "libx264" << scaled.arg("640:360");
    QTest::newRow("stated without a box") << video(160, 120) << ""
                                          << "16:9"
                                          << "libx264"
                                          << "setdar=1.777778";
    QTest::newRow("stretch") << video(640, 480) << "640x360"
                             << "stretch"
                             << "libx264" << scaled.arg("640:360");
    QTest::newRow("stretch, portrait") << video(1080, 1920) << "640x360"
                                       << "stretch"
                                       << "libx264" << scaled.arg("640:360");
    QTest::newRow("stretch without a box") << video(640, 480) << ""
                                           << "stretch"
                                           << "libx264"
                                           << "";
    QTest::newRow("no box") << video(640, 480) << ""
                            << ""
                            << "libx264"
                            << "";
}

void ShapePlanTest::geometry()
{
    QFETCH(StreamInfo, source);
    QFETCH(QString, box);
    QFETCH(QString, aspect);
    QFETCH(QString, encoder);
    QFETCH(QString, filter);
    StreamRequest request;
    if (!box.isEmpty())
        request.videoBox = parseVideoBox(box.toStdString());
    if (!aspect.isEmpty())
        request.sourceAspect = parseSourceAspect(aspect.toStdString());
    const auto shape = shapePicture(source, request, fixedFrameSizes(encoder.toStdString()));
    QCOMPARE(shape ? QString::fromStdString(shapeFilter(*shape)) : QString(), filter);
}

void ShapePlanTest::line()
{
    const auto said = [](const StreamInfo &source, VideoBox box, const std::string &encoder) {
        StreamRequest request;
        request.videoBox = box;
        return QString::fromStdString(shapeLine(source, *shapePicture(source, request, fixedFrameSizes(encoder))));
    };
    QCOMPARE(said(video(1920, 1080, 1, 90), {640, 360}, "libx264"),
             "picture: 1920x1080 turned 90, shown 1080x1920, made 360x640");
    QCOMPARE(said(video(720, 576, 64.0 / 45), {176, 144}, "h263"),
             "picture: 720x576, shown 1024x576, made 176x100 in 176x144 with bars");
}

void ShapePlanTest::filterJoinsTheProfiles_data()
{
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QStringList>("parameters");

    const QString box = "-video-box 320x180 ";
    const QString scale = "scale=320:180,setsar=1";
    QTest::newRow("alone") << QString(box + "-c:v libx264").split(' ') << QStringList{"-c:v", "libx264", "-vf", scale};
    QTest::newRow("after the profile's deinterlacing") << QString(box + "-vf yadif -c:v libx264").split(' ')
                                                       << QStringList{"-vf", "yadif," + scale, "-c:v", "libx264"};
    QTest::newRow("after the last of its filters") << QString(box + "-vf hflip -filter:v yadif").split(' ')
                                                   << QStringList{"-vf", "hflip", "-filter:v", "yadif," + scale};
    for (const char *own :
         {"-filter_complex [0:v]hflip", "-lavfi hflip", "-vn", "-c:v copy", "-s 640x360", "-aspect 4:3"}) {
        QTest::addRow("left alone: %s", own) << QString(box + own).split(' ') << QString(own).split(' ');
    }
}

void ShapePlanTest::filterJoinsTheProfiles()
{
    QFETCH(QStringList, switches);
    QFETCH(QStringList, parameters);
    QCOMPARE(planned(video(1920, 1080), switches), parameters);
}

// A burned subtitle takes the profile's filter, with the shape at its end, into its own chain.
void ShapePlanTest::burnedSubtitleKeepsTheShape()
{
    std::vector<std::string> parameters = toStd(planned(video(1920, 1080), {"-video-box", "320x180", "-vf", "yadif"}));
    TrackPlan plan;
    PlannedTrack picture, subtitle;
    picture.track.kind = protocol::TrackKind::Video;
    picture.fate = TrackFate::Kept;
    subtitle.track.index = 1;
    subtitle.track.kind = protocol::TrackKind::Subtitle;
    subtitle.track.codec = "dvd_subtitle";
    subtitle.fate = TrackFate::Burned;
    plan.tracks = {picture, subtitle};
    plan.burned = 1;
    const QStringList arguments = toQt(trackArguments(plan, outputTraits("mp4", true, true), "in.mkv", parameters));
    QVERIFY2(arguments.join(' ').contains("overlay=eof_action=pass,yadif,scale=320:180,setsar=1[burned]"),
             qPrintable(arguments.join(' ')));
    QVERIFY(toQt(parameters).isEmpty());
}

// Whatever a tag holds, and every number to its last bit: the facts are all a conversion sees.
void ShapePlanTest::factsComeBackWhole()
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("clip.mp4")).toStdString();
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not really a video") > 0);
    file.close();

    MediaInfo info;
    info.formatName = "mov,mp4,m4a,3gp,3g2,mj2";
    info.durationSeconds = 0.1 + 0.2; // no short decimal is this double
    info.startSeconds = -0.0;
    info.bitRate = std::numeric_limits<std::int64_t>::max();
    StreamInfo awkward = video(1920, 1080, 4.0 / 3, 270);
    awkward.framesPerSecond = 30000.0 / 1001;
    awkward.title = "a;b,c=d%25e f\nline\r\nbreak \xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac";
    awkward.language = "=;%,";
    awkward.channels = "5.1(side)";
    awkward.isForced = true;
    info.streams = {awkward, StreamInfo{}, video(2, 2, 1e-300)};
    info.streams[1].kind = ""; // a stream that says nothing at all

    const std::string line = factsLine(path, info);
    QVERIFY(line.starts_with(FactsLinePrefix));
    const std::string word = line.substr(FactsLinePrefix.size());
    // Only what the program lets through a report's last line.
    QVERIFY(std::all_of(word.begin(), word.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'; }));
    QCOMPARE(factsOf(path, word), std::optional(info));

    QVERIFY(!factsOf(path, word + "A")); // cut or lengthened by a character
    QVERIFY(!factsOf(path, word.substr(0, word.size() - 1)));
    QVERIFY(!factsOf(path, "eyJ2ZXJzaW9uIjoxfQ")); // another form altogether
    QVERIFY(file.open(QIODevice::Append) && file.write("!") == 1);
    file.close();
    QVERIFY(!factsOf(path, word)); // the file is no longer the one probed
}

QTEST_GUILESS_MAIN(ShapePlanTest)
#include "tst_shapeplan.moc"
