// The encoder's choice of tracks, its FFmpeg switches and the track listing, called directly.
#include "commandline.h"
#include "core/protocol/tracks.h"
#include "encoder/stringlists.h"
#include "tracks/trackarguments.h"
#include "tracks/trackplan.h"

extern "C" {
#include <libavutil/avstring.h>
#include <libavutil/mem.h>
}

#include <QLocale>
#include <QtTest>

using namespace encoder;
using protocol::Track;
using protocol::TrackKind;

namespace {

Track track(int index, TrackKind kind, const char *codec, const char *language, bool isDefault = false,
            bool isForced = false, const char *title = "")
{
    Track made;
    made.index = index;
    made.kind = kind;
    made.codec = codec;
    made.language = language;
    made.isDefault = isDefault;
    made.isForced = isForced;
    made.title = title;
    if (kind == TrackKind::Audio) {
        made.channels = index == 1 ? "5.1(side)" : "stereo";
        made.details = "48000 Hz, " + made.channels;
    }
    return made;
}

// A film with three audio languages, two text subtitles, a DVD one and cover art.
std::vector<InputTrack> film()
{
    return {{track(0, TrackKind::Video, "h264", "")},
            {track(1, TrackKind::Audio, "ac3", "eng", true)},
            {track(2, TrackKind::Audio, "aac", "ger")},
            {track(3, TrackKind::Audio, "aac", "fre")},
            {track(4, TrackKind::Subtitle, "subrip", "eng")},
            {track(5, TrackKind::Subtitle, "ass", "deu", false, true, "Signs: a, b")},
            {track(6, TrackKind::Subtitle, "dvd_subtitle", "fre")},
            {track(7, TrackKind::Video, "png", ""), true}};
}

TrackRequest trackRequest(const QStringList &switches)
{
    const auto request = parseCommandLine(toStd(QStringList{"-y", "-i", "in.mkv"} + switches + QStringList{"o"}));
    return std::get<ConversionRequest>(request).tracks;
}

TrackPlan plan(const QStringList &switches, const QString &muxer, const QStringList &parameters = {})
{
    const bool audioOnly = muxer == "mp3";
    return planTracks(film(), trackRequest(switches), outputTraits(muxer.toStdString(), !audioOnly, true),
                      toStd(parameters));
}

QString fates(const TrackPlan &made)
{
    QString letters;
    for (const PlannedTrack &planned : made.tracks)
        letters += planned.fate == TrackFate::Kept ? 'K' : planned.fate == TrackFate::Burned ? 'B' : '-';
    return letters;
}

} // namespace

class TrackPlanTest : public QObject {
    Q_OBJECT

private slots:
    void plan_data();
    void plan();
    void switches_data();
    void switches();
    void subtitlesFilterName_data();
    void subtitlesFilterName();
    void listing_data();
    void listing();
    void languagesAsQtNamesThem();
};

void TrackPlanTest::plan_data()
{
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("muxer");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("fates"); // per input stream: Kept, Burned, - left out
    QTest::addColumn<QString>("line");  // one of the plan's lines, whole

    QTest::newRow("no switches: the default audio, the default or first subtitle")
        << QStringList{} << "matroska" << QStringList{} << "KK--K---"
        << "left out: 2: German AAC stereo, by Audio "
           "Tracks = Preferred language";
    QTest::newRow("a preferred language over the default flag")
        << QStringList{"-audio-langs", "ita,ger,eng"} << "matroska" << QStringList{} << "K-K-K---"
        << "left out: 1: English AC-3 5.1, by Audio Tracks = Preferred language";
    QTest::newRow("all preferred languages, ger found as deu")
        << QStringList{"-audio-tracks", "languages", "-audio-langs", "fre,eng", "-subtitle-langs", "ger"} << "matroska"
        << QStringList{} << "KK-K-K--"
        << "kept: 5: German ASS \"Signs: a, b\" (forced)";
    QTest::newRow("languages none of the tracks has: as preferred")
        << QStringList{"-audio-tracks", "languages", "-audio-langs", "ita", "-subtitle-langs", "ita"} << "matroska"
        << QStringList{} << "KK------"
        << "left out: 4: English SubRip, by Subtitles = Preferred language";
    QTest::newRow("all audio into one-track mp3")
        << QStringList{"-audio-tracks", "all"} << "mp3" << QStringList{} << "-K------"
        << "left out: 2: German AAC stereo, as MP3 holds one audio track";
    QTest::newRow("mp3 holds no video") << QStringList{} << "mp3" << QStringList{} << "-K------"
                                        << "left out: 0: H.264, as MP3 holds no video";
    QTest::newRow("Disable Audio") << QStringList{"-audio-tracks", "all"} << "mp4" << QStringList{"-an"} << "K---K---"
                                   << "left out: 3: French AAC stereo, by Disable Audio";
    QTest::newRow("forced subtitles only")
        << QStringList{"-subtitles", "forced"} << "mp4" << QStringList{} << "KK---K--"
        << "left out: 4: English SubRip, by Subtitles = Forced only";
    QTest::newRow("mp4 holds no picture subtitle")
        << QStringList{"-subtitles", "all"} << "mp4" << QStringList{} << "KK--KK--"
        << "left out: 6: French DVD, as MP4 holds no picture subtitle";
    QTest::newRow("avi holds no subtitle track")
        << QStringList{"-subtitles", "all"} << "avi" << QStringList{} << "KK------"
        << "left out: 5: German ASS \"Signs: a, b\" (forced), "
           "as AVI holds no subtitle track";
    QTest::newRow("mkv holds pictures, and cover art is left out")
        << QStringList{"-subtitles", "all"} << "matroska" << QStringList{} << "KK--KKK-"
        << "left out: 7: PNG, as it is cover art";
    QTest::newRow("the task's picks win over the rules")
        << QStringList{"-audio-tracks", "all", "-audio-track", "3", "-subtitles", "none", "-subtitle-track", "6"}
        << "matroska" << QStringList{} << "K--K--K-"
        << "left out: 1: English AC-3 5.1, by the task's Audio Track choice";
    QTest::newRow("the task's none") << QStringList{"-subtitles", "all", "-subtitle-track", "none"} << "matroska"
                                     << QStringList{} << "KK------"
                                     << "left out: 4: English SubRip, by the task's Subtitle Track choice";
    QTest::newRow("burn forced, the rest kept")
        << QStringList{"-subtitles", "all", "-burn-subtitles", "forced"} << "mp4" << QStringList{} << "KK--KB--"
        << "burned in: 5: German ASS \"Signs: a, b\" (forced)";
    QTest::newRow("burn the task's picture subtitle into mp4")
        << QStringList{"-subtitle-track", "6", "-burn-subtitles", "yes"} << "mp4" << QStringList{} << "KK----B-"
        << "burned in: 6: French DVD";
    QTest::newRow("burn yes without a chosen one: the preferred language")
        << QStringList{"-subtitles", "none", "-burn-subtitles", "yes", "-subtitle-langs", "fre"} << "mp4"
        << QStringList{} << "KK----B-"
        << "left out: 4: English SubRip, by Subtitles = None";
    QTest::newRow("nothing burned without video")
        << QStringList{"-burn-subtitles", "yes"} << "mp4" << QStringList{"-vn"} << "-K--K---"
        << "left out: 0: H.264, by Disable Video";
    QTest::newRow("Disable Subtitles") << QStringList{"-subtitles", "all"} << "matroska" << QStringList{"-sn"}
                                       << "KK------"
                                       << "left out: 6: French DVD, by Disable Subtitles";
}

void TrackPlanTest::plan()
{
    QFETCH(QStringList, switches);
    QFETCH(QString, muxer);
    QFETCH(QStringList, parameters);
    QFETCH(QString, fates);
    QFETCH(QString, line);

    const TrackPlan made = ::plan(switches, muxer, parameters);
    QCOMPARE(::fates(made), fates);
    QStringList lines;
    for (const std::string &each : planLines(made))
        lines << QString::fromStdString(each);
    QCOMPARE(lines.size(), int(film().size()));
    QVERIFY2(lines.contains(line), qPrintable(lines.join('\n')));
    QCOMPARE(made.counts.audio, int(fates.mid(1, 3).count('K')));
    QCOMPARE(made.counts.subtitle, int(fates.mid(4, 3).count('K')));
}

void TrackPlanTest::switches_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("every switch") << QStringList{"-audio-tracks",   "all", "-subtitles",   "forced",
                                                 "-burn-subtitles", "yes", "-audio-langs", "eng, ger",
                                                 "-subtitle-track", "none"}
                                  << true;
    QTest::newRow("an unknown rule") << QStringList{"-audio-tracks", "some"} << false;
    QTest::newRow("none is no audio pick") << QStringList{"-audio-track", "none"} << false;
    QTest::newRow("an index that is no number") << QStringList{"-subtitle-track", "2a"} << false;
    QTest::newRow("a switch without its value") << QStringList{"-c:v", "mpeg4", "-burn-subtitles"} << false;
}

void TrackPlanTest::switches()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    const auto request = parseCommandLine(toStd(QStringList{"-y", "-i", "in.mkv"} + arguments + QStringList{"o"}));
    QCOMPARE(std::holds_alternative<ConversionRequest>(request), accepted);
    if (!accepted)
        return;
    const auto &conversion = std::get<ConversionRequest>(request);
    QVERIFY(conversion.parameters.empty()); // FFmpeg never sees them
    QCOMPARE(conversion.tracks.audioLanguages, (std::vector<std::string>{"eng", "ger"}));
    QCOMPARE(conversion.tracks.subtitlePick, std::optional<std::string>("none"));
    QVERIFY(conversion.tracks.burn == BurnRule::Yes && conversion.tracks.subtitles == SubtitleRule::Forced);
}

void TrackPlanTest::subtitlesFilterName_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/clips/film.mkv";
    QTest::newRow("quotes and colons") << "/clips/it's a:b.mkv";
    QTest::newRow("graph characters") << "/clips/[x],y;z\\w.mkv";
    QTest::newRow("a leading dash and blanks") << "-film  two .mkv";
}

void TrackPlanTest::subtitlesFilterName()
{
    // Read back as libavfilter reads it: the graph's token, then the option's value.
    QFETCH(QString, path);
    const std::string filter = subtitlesFilter(path.toStdString(), 2);
    const char *graph = filter.c_str();
    char *name = av_get_token(&graph, "=,;[");
    QCOMPARE(QByteArray(name), QByteArray("subtitles"));
    QCOMPARE(*graph, '=');
    ++graph;
    char *options = av_get_token(&graph, "[],;");
    QCOMPARE(*graph, '\0');
    const char *option = options;
    QVERIFY(QByteArray(option).startsWith("filename="));
    option += 9;
    char *value = av_get_token(&option, ":");
    QCOMPARE(QString::fromUtf8(value), "file:" + path);
    QCOMPARE(QByteArray(option), QByteArray(":si=2"));
    av_free(name);
    av_free(options);
    av_free(value);
}

void TrackPlanTest::listing_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("title");

    QTest::newRow("audio with flags") << "    Stream #0:1(eng): Audio: ac3, 48000 Hz, 5.1(side) (default)"
                                      << "1: English AC-3 5.1"
                                      << "";
    QTest::newRow("a stream id") << "    Stream #0:1[0x1100](ger): Audio: aac, 44100 Hz, stereo"
                                 << "1: German AAC stereo"
                                 << "";
    QTest::newRow("a title with colons and commas")
        << "    Stream #0:3(ger): Subtitle: subrip (forced)\n      Metadata:\n        title           : Signs: a, b"
        << "3: German SubRip \"Signs: a, b\" (forced)"
        << "Signs: a, b";
    QTest::newRow("the older form, untagged") << "    Stream #0.2: Audio: mp3, 44100 Hz, mono"
                                              << "2: MP3 mono"
                                              << "";
}

void TrackPlanTest::listing()
{
    QFETCH(QString, line);
    QFETCH(QString, label);
    QFETCH(QString, title);
    const auto read = protocol::tracksOfReport(line.toStdString());
    QCOMPARE(read.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(protocol::trackLabel(read.front())), label);
    QCOMPARE(QString::fromStdString(read.front().title), title);
    // Listed again and read back, it is the same track.
    std::string listed;
    for (const std::string &each : protocol::streamListing(read.front()))
        listed += each + "\n";
    const auto again = protocol::tracksOfReport(listed);
    QCOMPARE(again.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(protocol::trackLabel(again.front())), label);
    QCOMPARE(again.front().details, read.front().details);
}

// The encoder names and matches languages without Qt, as the window does with it: every code of
// two or three letters, in either case.
void TrackPlanTest::languagesAsQtNamesThem()
{
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    QStringList codes;
    for (const QChar a : letters) {
        for (const QChar b : letters) {
            codes << QString(a) + b;
            for (const QChar c : letters)
                codes << QString(a) + b + c;
        }
    }
    for (const QString &code : codes) {
        const QLocale::Language language = QLocale::codeToLanguage(code, QLocale::AnyLanguageCode);
        const bool known = language != QLocale::AnyLanguage && language != QLocale::C && code != "und";
        const QString name = known ? QLocale::languageToString(language) : code == "und" ? QString() : code;
        QCOMPARE(QString::fromStdString(protocol::languageName(code.toUpper().toStdString())),
                 known ? name : code.toUpper());
        QCOMPARE(QString::fromStdString(protocol::languageName(code.toStdString())), name);
    }
    QVERIFY(protocol::sameLanguage("ger", "DEU") && protocol::sameLanguage("fre", "fr"));
    QVERIFY(!protocol::sameLanguage("eng", "ger") && !protocol::sameLanguage("xx", "yy"));
}

QTEST_GUILESS_MAIN(TrackPlanTest)
#include "tst_trackplan.moc"
