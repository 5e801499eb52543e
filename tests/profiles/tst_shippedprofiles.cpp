#include <mediaprobe.h>
#include <parameterstring.h>
#include <profilecheck.h>
#include <profilelist.h>
#include <profilereading.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace profiles;

namespace {

const QString Encoder = QStringLiteral(VELKOR_BIN_DIR "/wmaspi.dll");

// The choices of one conversion: caption positions of the pick lists, by parameter name.
using Choices = QHash<QString, int>;

ShownValue shownFor(const ProfileData &profile, const Choices &choices)
{
    return [profile, choices](int grid, const QString &key) -> QString {
        for (const ProfileParameter &parameter : profile.parameters) {
            if (parameter.grid != grid || parameter.name.compare(key, Qt::CaseInsensitive) != 0)
                continue;
            if (parameter.kind() != ParameterKind::PickList)
                return parameter.caption;
            const QString caption = parameter.captions().value(choices.value(parameter.name, parameter.index));
            return caption == QLatin1String("Custom Size") ? QStringLiteral("320x240") : caption;
        }
        return {};
    };
}

QString run(const QStringList &arguments, int *exitCode)
{
    QProcess encoder;
    encoder.setProcessChannelMode(QProcess::MergedChannels);
    encoder.start(Encoder, arguments);
    encoder.waitForFinished(300000);
    *exitCode = encoder.exitStatus() == QProcess::NormalExit ? encoder.exitCode() : -1;
    return QString::fromUtf8(encoder.readAll());
}

} // namespace

class ShippedProfilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_clip;

private slots:
    void initTestCase()
    {
        m_clip = m_work.filePath("clip.avi");
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=1.5",
                                "-f", "lavfi", "-i", "sine=duration=1.5:sample_rate=44100", "-c:v", "mpeg4", "-c:a",
                                "mp3", "-shortest", m_clip});
        QVERIFY(ffmpeg.waitForFinished(60000));
        QCOMPARE(ffmpeg.exitCode(), 0);
    }

    // Every shipped profile converts at its defaults and with each caption of each pick list in
    // turn, and the output has the frame size the choice promises.
    void everyChoiceConverts_data()
    {
        QTest::addColumn<QString>("profilePath");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<int>("caption");
        const QList<ProfileEntry> entries = ListProfiles(QStringLiteral(VELKOR_BIN_DIR "/Profiles"));
        QVERIFY(entries.size() >= 10);
        for (const ProfileEntry &entry : entries) {
            const ProfileData profile = ReadProfileFile(entry.path);
            QTest::newRow(qPrintable(entry.name + ": defaults")) << entry.path << QString() << -1;
            for (const ProfileParameter &parameter : profile.parameters) {
                if (parameter.kind() != ParameterKind::PickList)
                    continue;
                for (int caption = 0; caption < parameter.captions().size(); ++caption) {
                    if (caption != parameter.index)
                        QTest::newRow(qPrintable(entry.name + ": " + parameter.name + " " + parameter.captions().at(caption)))
                            << entry.path << parameter.name << caption;
                }
            }
        }
    }
    void everyChoiceConverts()
    {
        QFETCH(QString, profilePath);
        QFETCH(QString, parameter);
        QFETCH(int, caption);
        QVERIFY(!ProfileFileProblem(profilePath));
        const ProfileData profile = ReadProfileFile(profilePath);
        Choices choices;
        if (!parameter.isEmpty())
            choices.insert(parameter, caption);
        const ShownValue shown = shownFor(profile, choices);
        const QString parameters = BuildParameterString(profile, shown);
        const QString output = m_work.filePath("out" + profile.outputExtension());
        int exitCode = -1;
        const QString said = run(QStringList{"-y", "-i", m_clip} + QProcess::splitCommand(parameters) + QStringList{output},
                                 &exitCode);
        QVERIFY2(exitCode == 0, qPrintable(parameters + "\n" + said));

        const QString report = run({"-i", output}, &exitCode);
        QCOMPARE(exitCode, 0);
        const bool videoDisabled = shown(VideoGrid, "Disable Video") == "Yes";
        QCOMPARE(report.contains("Video:"), !videoDisabled);
        QCOMPARE(report.contains("Audio:"), shown(AudioGrid, "Disable Audio") != "Yes");
        if (!videoDisabled) {
            QString size = shown(VideoGrid, "Video Size");
            if (size.isEmpty() || size == "Original Size")
                size = "320x240";
            QCOMPARE(tasks::applyCutRules(report, output).frameSize, " " + size);
        }
    }
};

std::unique_ptr<QObject> makeShippedProfilesTest()
{
    return std::make_unique<ShippedProfilesTest>();
}

#include "tst_shippedprofiles.moc"
