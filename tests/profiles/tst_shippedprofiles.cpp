#include "conversionplan.h"
#include "core/profiles/designedrows.h"
#include "core/profiles/parameterstring.h"
#include "core/profiles/profilecheck.h"
#include "core/profiles/profilelist.h"
#include "core/profiles/profilereading.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/grids/profilegrids.h"
#include "profiles/mediafacts.h"
#include "profiles/shortfalls.h"
#include "shape/conversionshape.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

using namespace profiles;
using namespace outputpromises;
using grids::ProfileGrids;

namespace {

const QString ProgramDirectory = QStringLiteral(VELKOR_BIN_DIR);
// Four frames: ASF keeps times in milliseconds and tells the frame rate right from four on. Each
// frame more costs every output, at sizes up to 1080p.
constexpr double ClipSeconds = 0.4;
// Outputs one FFmpeg writes at once: few processes to start, yet a bound on the memory of the
// encoders it holds open together (VP9 at 1080p takes the most).
constexpr qsizetype OutputsPerRun = 16;
const QString TypedCustomSize = QStringLiteral("320x240");

// Captions chosen in a profile's pick lists: parameter name, caption.
using Picks = QList<std::pair<QString, QString>>;

// A profile as the user sets it.
struct Choice {
    Picks picks;
    QStringList arguments;

    QString name() const
    {
        QStringList named;
        for (const auto &[parameter, caption] : picks)
            named << parameter + " = " + caption;
        return named.isEmpty() ? QStringLiteral("defaults") : named.join(", ");
    }
};

Choice choose(const QString &profilePath, const ProfileData &profile, const Picks &picks)
{
    grids::KeyValueGrid video(95), audio(95), advanced(95);
    const ProfileGrids grids{&video, &audio, &advanced};
    grids::FillProfileGrids(profile, grids);
    for (const auto &[parameter, caption] : picks) {
        for (grids::KeyValueGrid *grid : {&video, &audio, &advanced}) {
            if (const int row = grid->findRow(parameter); row >= 0) {
                grid->choosePickListEntry(row, caption);
                if (caption == CustomSizeCaption)
                    grid->SetGridValue(VideoSizeKey, TypedCustomSize); // as the size dialog does
            }
        }
    }
    return {picks, QProcess::splitCommand(BuildParameterString(profilePath, grids::ShownValueOf(grids)))};
}

// The switches that can change any fact of their stream and so hide the others' effect on it.
const QStringList StreamWideSwitches = {"-vn", "-an", "-vf", "-af"};

// The switch as given, with its value, or nothing.
QStringList switchIn(const QStringList &arguments, const QString &name)
{
    const qsizetype at = arguments.indexOf(name);
    return at < 0 ? QStringList() : arguments.mid(at, BareSwitches.contains(name) ? 1 : 2);
}

// The defaults, then every other caption of every pick list in as few settings as hold them all:
// the n-th setting takes each list's n-th other caption, since the lists set different facts of
// the output and each shows apart. A caption that drops or filters a stream is set alone.
QList<Choice> coveringChoices(const QString &profilePath, const ProfileData &profile)
{
    const Choice defaults = choose(profilePath, profile, {});
    QList<Choice> alone;
    QList<Picks> combined;
    for (const ProfileParameter &parameter : profile.parameters) {
        const QStringList captions = parameter.captions();
        qsizetype setting = 0;
        for (int n = 0; parameter.kind() == ParameterKind::PickList && n < captions.size(); ++n) {
            if (n == parameter.index)
                continue;
            const Choice one = choose(profilePath, profile, {{parameter.name, captions[n]}});
            const bool streamWide = std::ranges::any_of(StreamWideSwitches, [&](const QString &name) {
                return switchIn(one.arguments, name) != switchIn(defaults.arguments, name);
            });
            if (streamWide) {
                alone.append(one);
            } else {
                if (combined.size() <= setting)
                    combined.append(Picks());
                combined[setting++].append(one.picks.first());
            }
        }
    }
    QList<Choice> choices{defaults};
    choices += alone;
    for (const Picks &picks : combined)
        choices.append(choose(profilePath, profile, picks));
    return choices;
}

// The picture's box and stated shape as the encoder turns them into filters for this input.
QStringList shapedAsTheEncoderDoes(const QString &input, const QStringList &output)
{
    encoder::ConversionRequest request;
    request.input = input.toStdString();
    request.output = output.last().toStdString();
    for (const QString &argument : output.mid(0, output.size() - 1))
        request.parameters.push_back(argument.toStdString());
    if (!encoder::takeStreamSwitches(request.parameters, request.streams))
        return output;
    encoder::planConversionShape(request, encoder::containerSwitch(request).value_or(std::vector<std::string>()),
                                 encoder::probeMedia(request.input, encoder::ProbeDepth::Kinds));
    QStringList shaped;
    for (const std::string &parameter : request.parameters)
        shaped << QString::fromStdString(parameter);
    return shaped << output.last();
}

// What FFmpeg says when it does not write every output; each output is its switches and path.
std::optional<QString> ffmpegRefusal(const QString &input, const QList<QStringList> &outputs)
{
    QStringList arguments{"-v", "error", "-nostdin", "-y", "-i", input};
    for (QStringList output : outputs) {
        output = shapedAsTheEncoderDoes(input, output);
        for (const QString &own : TrackSwitches + QStringList{FitSwitch, KeepSwitch}) {
            if (const qsizetype at = output.indexOf(own); at >= 0)
                output.remove(at, 2);
        }
        // The encoder's switches for a ceiling depend on the codec, which its own tests check:
        // FFmpeg is given the ceiling as the bit rate, so that it still reads the value.
        if (const qsizetype at = output.indexOf(CeilingSwitch); at >= 0)
            output[at] = QStringLiteral("-b:v");
        arguments += output;
    }
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start("ffmpeg", arguments);
    if (!ffmpeg.waitForFinished(120000))
        return QStringLiteral("FFmpeg did not finish");
    if (ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0)
        return std::nullopt;
    return QString::fromUtf8(ffmpeg.readAll());
}

} // namespace

class ShippedProfilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_clip;
    QElapsedTimer m_clock;
    int m_outputs = 0;

private slots:
    void initTestCase()
    {
        m_clock.start();
        m_clip = m_work.filePath("clip.mp4");
        const QString seconds = QString::number(ClipSeconds);
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-v", "error", "-f", "lavfi", "-i",
                                QStringLiteral("testsrc2=size=%1x%2:rate=%3:duration=%4")
                                    .arg(ClipSize.width())
                                    .arg(ClipSize.height())
                                    .arg(ClipFramesPerSecond)
                                    .arg(seconds),
                                "-f", "lavfi", "-i",
                                QStringLiteral("sine=duration=%1:sample_rate=%2").arg(seconds).arg(ClipSampleRate),
                                "-ac", "2", "-c:v", "mpeg4", "-c:a", "aac", "-shortest", m_clip});
        QVERIFY(ffmpeg.waitForFinished(60000));
        QCOMPARE(ffmpeg.exitCode(), 0);
    }

    void cleanupTestCase() { qInfo("%d outputs in %lld s", m_outputs, m_clock.elapsed() / 1000); }

    void theSetIsComplete()
    {
        const QList<ProfileEntry> entries = ListProfiles(ProgramDirectory + "/Profiles");
        QVERIFY(entries.size() >= 10);
        bool fixed = false, free = false;
        for (const ProfileEntry &entry : entries) {
            const ProfileData profile = ReadProfileFile(entry.path);
            QVERIFY2(!ProfileProblem(profile, entry.path), qPrintable(entry.name));
            for (const ProfileParameter &parameter : profile.parameters) {
                fixed = fixed || parameter.kind() == ParameterKind::Fixed;
                free = free || parameter.kind() == ParameterKind::Free;
                // The size dialog puts "Original Size" back when cancelled.
                if (parameter.name == VideoSizeKey && parameter.captions().contains(CustomSizeCaption))
                    QVERIFY2(parameter.captions().contains(OriginalSizeCaption), qPrintable(entry.name));
            }
        }
        QVERIFY(fixed && free);

        // A size is handed to the encoder in decimal megabytes; Off leaves the switch out.
        int sized = 0;
        for (const ProfileEntry &entry : entries) {
            const ProfileData profile = ReadProfileFile(entry.path);
            if (!std::ranges::any_of(profile.parameters, [](const auto &p) { return p.name == "Target Size"; }))
                continue;
            ++sized;
            QCOMPARE(switchIn(choose(entry.path, profile, {{"Target Size", "16 MB"}}).arguments, FitSwitch),
                     (QStringList{FitSwitch, "16M"}));
            QVERIFY(!choose(entry.path, profile, {{"Target Size", "Off"}}).arguments.contains(FitSwitch));
        }
        QCOMPARE(sized, 5);
    }

    // Every video profile offers the track rules at their defaults; an audio-only one has no
    // subtitles to rule on.
    void everyProfileOffersTrackRules()
    {
        for (const ProfileEntry &entry : ListProfiles(ProgramDirectory + "/Profiles")) {
            const ProfileData profile = ReadProfileFile(entry.path);
            const QStringList arguments = choose(entry.path, profile, {}).arguments;
            const bool video = profile.type != "mp3";
            QCOMPARE(switchIn(arguments, "-audio-tracks"), (QStringList{"-audio-tracks", "preferred"}));
            QCOMPARE(switchIn(arguments, "-subtitles"),
                     (video ? QStringList{"-subtitles", "preferred"} : QStringList()));
            QCOMPARE(switchIn(arguments, "-burn-subtitles"),
                     (video ? QStringList{"-burn-subtitles", "no"} : QStringList()));
            QCOMPARE(switchIn(choose(entry.path, profile, {{"Audio Tracks", "All"}}).arguments, "-audio-tracks"),
                     (QStringList{"-audio-tracks", "all"}));
        }
    }

    // The encoder picks the muxer from the output's extension, so each container gets one real
    // conversion: the first profile that writes it, at its defaults.
    void eachContainerConvertsThroughTheEncoder_data()
    {
        QTest::addColumn<QString>("profilePath");
        QSet<QString> types;
        for (const ProfileEntry &entry : ListProfiles(ProgramDirectory + "/Profiles")) {
            const QString type = ReadProfileFile(entry.path).type;
            if (!types.contains(type)) {
                types.insert(type);
                QTest::addRow("%s: %s", qPrintable(type), qPrintable(entry.name)) << entry.path;
            }
        }
    }
    void eachContainerConvertsThroughTheEncoder()
    {
        QFETCH(QString, profilePath);
        const ProfileData profile = ReadProfileFile(profilePath);
        const QStringList arguments = choose(profilePath, profile, {}).arguments;
        const QString output = m_work.filePath("encoded" + profile.outputExtension());

        QProcess encoder;
        encoder.setProcessChannelMode(QProcess::MergedChannels);
        encoder.start(ProgramDirectory + "/wmaspi.dll",
                      QStringList{"-y", "-i", m_clip} + arguments + QStringList{output});
        QVERIFY(encoder.waitForFinished(120000));
        ++m_outputs;
        const QString said = arguments.join(' ') + "\n" + QString::fromUtf8(encoder.readAll());
        QVERIFY2(encoder.exitStatus() == QProcess::NormalExit && encoder.exitCode() == 0, qPrintable(said));

        const auto facts = mediaFacts(output);
        QVERIFY2(facts, qPrintable(said));
        const QStringList found = shortfalls(arguments, profile.type, *facts);
        QVERIFY2(found.isEmpty(), qPrintable(arguments.join(' ') + ": " + found.join(", ")));
    }

    // What the encoder adds to a profile's switches depends on the container and the clip's
    // picture only, so past the conversion above FFmpeg takes them directly, many outputs to a run.
    void everyCaptionIsHonoured_data()
    {
        QTest::addColumn<QString>("profilePath");
        for (const ProfileEntry &entry : ListProfiles(ProgramDirectory + "/Profiles"))
            QTest::addRow("%s", qPrintable(entry.name)) << entry.path;
    }
    void everyCaptionIsHonoured()
    {
        QFETCH(QString, profilePath);
        const ProfileData profile = ReadProfileFile(profilePath);
        const QList<Choice> choices = coveringChoices(profilePath, profile);
        QTemporaryDir outputs;
        QStringList failures;
        for (qsizetype first = 0; first < choices.size(); first += OutputsPerRun) {
            const QList<Choice> batch = choices.mid(first, OutputsPerRun);
            QList<QStringList> run;
            for (qsizetype n = 0; n < batch.size(); ++n)
                run.append(batch[n].arguments +
                           QStringList{outputs.filePath(QString::number(first + n) + profile.outputExtension())});
            if (const auto refusal = ffmpegRefusal(m_clip, run)) {
                const auto named = refusedCaption(profilePath, profile, batch);
                QFAIL(qPrintable(named.value_or("refused only together: " + *refusal)));
            }
            m_outputs += int(batch.size());
            for (qsizetype n = 0; n < batch.size(); ++n) {
                const QString said = batch[n].name() + " (" + batch[n].arguments.join(' ') + "): ";
                const auto facts = mediaFacts(run[n].last());
                if (!facts)
                    failures << said + "unreadable";
                else if (const QStringList found = shortfalls(batch[n].arguments, profile.type, *facts);
                         !found.isEmpty())
                    failures << said + found.join(", ");
            }
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
    }

private:
    // FFmpeg gives up on every output for one it cannot set up: names the caption at fault.
    std::optional<QString> refusedCaption(const QString &profilePath, const ProfileData &profile,
                                          const QList<Choice> &batch)
    {
        const QString probe = m_work.filePath("alone" + profile.outputExtension());
        for (const Choice &choice : batch) {
            QList<Choice> suspects; // each caption alone first, then the setting they make together
            for (const auto &pick : choice.picks)
                suspects.append(choose(profilePath, profile, {pick}));
            suspects.append(choice);
            for (const Choice &suspect : suspects) {
                if (const auto alone = ffmpegRefusal(m_clip, {suspect.arguments + QStringList{probe}}))
                    return suspect.name() + ": " + suspect.arguments.join(' ') + "\n" + *alone;
            }
        }
        return std::nullopt;
    }
};

std::unique_ptr<QObject> makeShippedProfilesTest()
{
    return std::make_unique<ShippedProfilesTest>();
}

#include "tst_shippedprofiles.moc"
