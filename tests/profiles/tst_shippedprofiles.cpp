#include "mediafacts.h"

#include <designedrows.h>
#include <keyvaluegrid.h>
#include <parameterstring.h>
#include <profilecheck.h>
#include <profilegrids.h>
#include <profilelist.h>
#include <profilereading.h>

#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

using namespace profiles;

namespace {

const QString ProgramDirectory = QStringLiteral(VELKOR_BIN_DIR);
const QSize ClipSize(160, 120);
constexpr double ClipFramesPerSecond = 10;
constexpr int ClipSampleRate = 44100;
const QString TypedCustomSize = QStringLiteral("320x240");

// The switches the shipped profiles use; a new one must say here what it promises, if anything.
const QStringList BareSwitches = {"-vn", "-an", "-bitexact"};
const QStringList ValueSwitches = {"-c:v", "-s",   "-b:v", "-r",      "-aspect",     "-c:a",     "-b:a",
                                   "-ar",  "-ac",  "-af",  "-vf",     "-pix_fmt",    "-preset",  "-profile:v",
                                   "-movflags", "-vtag", "-cpu-used", "-row-mt"};
const QMap<QString, QString> CodecOfEncoder = {
    {"h263", "h263"},   {"mpeg4", "mpeg4"},   {"libx264", "h264"},      {"libx265", "hevc"},
    {"wmv2", "wmv2"},   {"libvpx-vp9", "vp9"}, {"aac", "aac"},          {"libmp3lame", "mp3"},
    {"wmav2", "wmav2"}, {"libopus", "opus"},
};

double rational(const QString &text)
{
    const QStringList parts = text.split('/');
    return parts.size() == 2 ? parts[0].toDouble() / parts[1].toDouble() : text.toDouble();
}

bool containerMatches(const QString &type, const MediaFacts &facts)
{
    if (type == "3gp")
        return facts.formatName.contains("3gp") && facts.majorBrand.startsWith("3gp");
    if (type == "mp4")
        return facts.formatName.contains("mp4") && facts.majorBrand == "isom";
    if (type == "webm" || type == "mkv")
        return facts.fileStart.contains(type == "webm" ? "webm" : "matroska");
    const QMap<QString, QString> formats = {{"avi", "avi"}, {"wmv", "asf"}, {"mp3", "mp3"}};
    return formats.contains(type) && facts.formatName == formats[type];
}

// Every way the output falls short of what its encoder arguments promise.
QStringList shortfalls(const QStringList &arguments, const QString &type, const MediaFacts &facts)
{
    QMap<QString, QString> option;
    QStringList found;
    for (qsizetype n = 0; n < arguments.size(); ++n) {
        if (BareSwitches.contains(arguments[n]))
            option.insert(arguments[n], QString());
        else if (ValueSwitches.contains(arguments[n]) && n + 1 < arguments.size()) {
            option.insert(arguments[n], arguments[n + 1]);
            ++n;
        }
        else {
            found << "unknown argument " + arguments[n];
        }
    }
    if (!containerMatches(type, facts))
        found << "not a " + type + " file but " + facts.formatName;

    if (option.contains("-vn") || type == "mp3") {
        if (facts.video)
            found << "a video stream";
    } else if (!facts.video) {
        found << "no video stream";
    } else {
        const StreamFacts &video = *facts.video;
        if (video.codec != CodecOfEncoder.value(option.value("-c:v")))
            found << "video codec " + video.codec;
        const QStringList size = option.value("-s").split('x');
        const QSize expectedSize = size.size() == 2 ? QSize(size[0].toInt(), size[1].toInt()) : ClipSize;
        if (video.frameSize != expectedSize)
            found << QStringLiteral("frame size %1x%2").arg(video.frameSize.width()).arg(video.frameSize.height());
        const double rate = option.contains("-r") ? rational(option["-r"]) : ClipFramesPerSecond;
        if (std::abs(video.framesPerSecond - rate) > 0.01)
            found << QStringLiteral("%1 frames a second").arg(video.framesPerSecond);
        const QString aspect = option.value("-aspect").replace(':', '/');
        if (!aspect.isEmpty() && std::abs(video.displayAspect - rational(aspect)) > 0.02)
            found << QStringLiteral("display aspect %1").arg(video.displayAspect);
    }

    if (option.contains("-an")) {
        if (facts.audio)
            found << "an audio stream";
    } else if (!facts.audio) {
        found << "no audio stream";
    } else {
        const StreamFacts &audio = *facts.audio;
        if (audio.codec != CodecOfEncoder.value(option.value("-c:a")))
            found << "audio codec " + audio.codec;
        // Opus always decodes at 48000 Hz, whatever it was given.
        const int rate = audio.codec == "opus" ? 48000 : option.value("-ar", QString::number(ClipSampleRate)).toInt();
        if (audio.sampleRate != rate)
            found << QStringLiteral("%1 Hz").arg(audio.sampleRate);
        if (audio.channels != option.value("-ac", "2").toInt())
            found << QStringLiteral("%1 channels").arg(audio.channels);
    }
    return found;
}

} // namespace

class ShippedProfilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_clip;
    QElapsedTimer m_clock;
    int m_conversions = 0;

private slots:
    void initTestCase()
    {
        m_clock.start();
        m_clip = m_work.filePath("clip.mp4");
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-v", "error", "-f", "lavfi", "-i",
                                QStringLiteral("testsrc2=size=%1x%2:rate=%3:duration=1")
                                    .arg(ClipSize.width()).arg(ClipSize.height()).arg(ClipFramesPerSecond),
                                "-f", "lavfi", "-i", QStringLiteral("sine=duration=1:sample_rate=%1").arg(ClipSampleRate),
                                "-ac", "2", "-c:v", "mpeg4", "-c:a", "aac", "-shortest", m_clip});
        QVERIFY(ffmpeg.waitForFinished(60000));
        QCOMPARE(ffmpeg.exitCode(), 0);
    }

    void cleanupTestCase()
    {
        qInfo("%d conversions in %lld s", m_conversions, m_clock.elapsed() / 1000);
    }

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
    }

    // Every profile at its defaults, then each other caption of each pick list alone.
    void everyChoiceConverts_data()
    {
        QTest::addColumn<QString>("profilePath");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QString>("caption");
        for (const ProfileEntry &entry : ListProfiles(ProgramDirectory + "/Profiles")) {
            QTest::addRow("%s: defaults", qPrintable(entry.name)) << entry.path << QString() << QString();
            for (const ProfileParameter &parameter : ReadProfileFile(entry.path).parameters) {
                const QStringList captions = parameter.captions();
                for (int n = 0; parameter.kind() == ParameterKind::PickList && n < captions.size(); ++n) {
                    if (n != parameter.index)
                        QTest::addRow("%s: %s = %s", qPrintable(entry.name), qPrintable(parameter.name),
                                      qPrintable(captions[n]))
                            << entry.path << parameter.name << captions[n];
                }
            }
        }
    }
    void everyChoiceConverts()
    {
        QFETCH(QString, profilePath);
        QFETCH(QString, parameter);
        QFETCH(QString, caption);
        const ProfileData profile = ReadProfileFile(profilePath);
        KeyValueGrid video(95), audio(95), advanced(95);
        const ProfileGrids grids{&video, &audio, &advanced};
        const QString extension = FillProfileGrids(profile, grids);
        if (!parameter.isEmpty()) {
            for (KeyValueGrid *grid : {&video, &audio, &advanced}) {
                if (const int row = grid->findRow(parameter); row >= 0) {
                    grid->choosePickListEntry(row, caption);
                    if (caption == CustomSizeCaption)
                        grid->SetGridValue(VideoSizeKey, TypedCustomSize); // as the size dialog does
                }
            }
        }
        const QStringList arguments = QProcess::splitCommand(BuildParameterString(profilePath, ShownValueOf(grids)));
        const QString output = m_work.filePath("out" + extension);
        QFile::remove(output);

        QProcess encoder;
        encoder.setProcessChannelMode(QProcess::MergedChannels);
        encoder.start(ProgramDirectory + "/wmaspi.dll", QStringList{"-y", "-i", m_clip} + arguments + QStringList{output});
        QVERIFY(encoder.waitForFinished(120000));
        ++m_conversions;
        const QString said = arguments.join(' ') + "\n" + QString::fromUtf8(encoder.readAll());
        QVERIFY2(encoder.exitStatus() == QProcess::NormalExit && encoder.exitCode() == 0, qPrintable(said));

        const auto facts = mediaFacts(output);
        QVERIFY2(facts, qPrintable(said));
        const QStringList found = shortfalls(arguments, profile.type, *facts);
        QVERIFY2(found.isEmpty(), qPrintable(arguments.join(' ') + ": " + found.join(", ")));
    }
};

std::unique_ptr<QObject> makeShippedProfilesTest()
{
    return std::make_unique<ShippedProfilesTest>();
}

#include "tst_shippedprofiles.moc"
