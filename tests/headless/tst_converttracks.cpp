// The track options of a command-line run, and what it tells of the tracks each file kept and
// left out. A fake encoder stands in, saying what the real one says of the tracks and which
// arguments it was given.
#include "headless/headlessprogram.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace headlesstest;

namespace {

QByteArray listRow(const QByteArray &name, const QByteArray &sort, const QByteArray &cmd, const QByteArray &captions,
                   const QByteArray &values)
{
    return "[" + name + "]\r\nSort=" + sort + "\r\ncmd=" + cmd + "\r\nList=1\r\nCaption=" + captions +
           "\r\nValue=" + values + "\r\nIndex=0\r\n";
}

const QByteArray TracksProfile =
    "[Main]\r\nType=mp4\r\nPara=4\r\n0=Video Codec\r\n1=Audio Tracks\r\n2=Subtitles\r\n3=Burn In\r\n" +
    listRow("Video Codec", "1", "-c:v", "MPEG-4,", "mpeg4,") +
    listRow("Audio Tracks", "2", "-audio-tracks", "Preferred language,All preferred languages,All,",
            "preferred,languages,all,") +
    listRow("Subtitles", "3", "-subtitles", "None,Forced only,Preferred language,All,", "none,forced,preferred,all,") +
    listRow("Burn In", "3", "-burn-subtitles", "No,Forced only,Yes,", "no,forced,yes,");

const QByteArray PlainProfile =
    "[Main]\r\nType=mp4\r\nPara=1\r\n0=Video Codec\r\n" + listRow("Video Codec", "1", "-c:v", "MPEG-4,", "mpeg4,");

const QByteArray FakeScript = "args|out:kept: 0: MPEG-4\\nleft out: 1: French AC-3 5.1, by Audio Tracks = All "
                              "preferred languages\\nburned in: 2: German SubRip (forced)\\n|exit:1";

} // namespace

class ConvertTracksTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramCopy> m_program;
    QString m_input;

    Finished convert(const QStringList &arguments)
    {
        QProcessEnvironment environment = m_program->environment();
        environment.insert("FAKE_ENCODER_SCRIPT", QString::fromUtf8(FakeScript));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(m_program->program(), QStringList{"--convert"} + arguments);
        return finish(process);
    }

private slots:
    void initTestCase()
    {
        m_program = std::make_unique<ProgramCopy>(
            QList<std::pair<QString, QByteArray>>{{"Tracks.vkp", TracksProfile}, {"Plain.vkp", PlainProfile}});
        QVERIFY(m_program->isValid());
        const QString encoder = m_program->directory.filePath("wmaspi.dll");
        QVERIFY(QFile::remove(encoder));
        QVERIFY(QFile::copy(VELKOR_TEST_BIN_DIR "/fake_encoder", encoder));
        m_input = m_program->home.filePath("-clip \"one\" é.avi");
        QFile input(m_input);
        QVERIFY(input.open(QIODevice::WriteOnly) && input.write("any") == 3);
    }
    void init()
    {
        m_program->writePreferences("[Main]\r\nOutput Path=" + m_program->home.path().toUtf8() +
                                    "\r\nSubtitle languages=fre\r\n");
    }

    // The options reach the encoder as the profile's rows and our switches, the preferences'
    // languages where the command line gives none; the JSON end of the task tells every track.
    void optionsReachTheEncoderAndTracksAreTold()
    {
        const Finished finished = convert({"--json", "-p", "tracks", "--audio", "langs", "--subtitles", "forced",
                                           "--burn-subtitles", "yes", "--audio-lang", "GER, eng", "--", m_input});
        QVERIFY2(finished.exitCode == 1, qPrintable(finished.describe()));
        QJsonObject ended;
        for (const QString &line : finished.out.split('\n', Qt::SkipEmptyParts)) {
            const QJsonObject event = QJsonDocument::fromJson(line.toUtf8()).object();
            if (event.value("event") == "taskEnded")
                ended = event;
        }
        const QJsonObject tracks = ended.value("tracks").toObject();
        QCOMPARE(tracks.value("kept").toArray(), QJsonArray{"0: MPEG-4"});
        QCOMPARE(tracks.value("burnedIn").toArray(), QJsonArray{"2: German SubRip (forced)"});
        QCOMPARE(tracks.value("leftOut").toArray(),
                 QJsonArray{"1: French AC-3 5.1, by Audio Tracks = All preferred languages"});
        const QString log = ended.value("log").toString();
        for (const char *pair :
             {"-audio-tracks\narg=languages\n", "-subtitles\narg=forced\n", "-burn-subtitles\narg=yes\n",
              "-audio-langs\narg=ger,eng\n", "-subtitle-langs\narg=fre\n"})
            QVERIFY2(log.contains(QStringLiteral("arg=") + pair), qPrintable(pair + log));
        QVERIFY2(log.contains("\narg=" + m_input + "\n"), qPrintable(log));
    }

    // A plain report prints what was left out under the file's line.
    void plainReportSaysWhatWasLeftOut()
    {
        const Finished finished = convert({"-p", "plain", "--subtitle-lang", "", m_input});
        QVERIFY2(finished.exitCode == 1, qPrintable(finished.describe()));
        QVERIFY2(finished.out.contains(" -> " + m_program->home.filePath("-clip \"one\" é.mp4") +
                                       "\n  left out: 1: French AC-3 5.1, by Audio Tracks = All preferred languages\n"),
                 qPrintable(finished.out));
        QVERIFY2(!finished.err.contains("-subtitle-langs"), qPrintable(finished.err));
    }

    void badValuesAreRefused_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("audio") << QStringList{"--audio", "second"}
                               << "--audio takes first, langs, all, not \"second\".";
        QTest::newRow("subtitles") << QStringList{"--subtitles", "some"}
                                   << "--subtitles takes none, forced, lang, all, not \"some\".";
        QTest::newRow("burn in") << QStringList{"--burn-subtitles", "Yes"}
                                 << "--burn-subtitles takes no, forced, yes, not \"Yes\".";
        QTest::newRow("language name") << QStringList{"--audio-lang", "English"}
                                       << "The languages \"English\" of --audio-lang are no three-letter codes";
        QTest::newRow("profile without the row") << QStringList{"-p", "plain", "--subtitles", "all"} << "Subtitles";
    }
    void badValuesAreRefused()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, sentence);
        if (!options.contains("-p"))
            options << "-p"
                    << "tracks";
        const Finished finished = convert(options << m_input);
        QVERIFY2(finished.exitCode == 2, qPrintable(finished.describe()));
        QVERIFY2(finished.err.contains(sentence), qPrintable(finished.err));
        QCOMPARE(finished.out, "");
    }
};

std::unique_ptr<QObject> makeConvertTracksTest()
{
    return std::make_unique<ConvertTracksTest>();
}

#include "tst_converttracks.moc"
