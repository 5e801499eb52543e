// The program without its window, driven as a script or another program drives it: through its
// command line, its output and its exit status, converting generated clips with the real encoder.
// Here: the command line itself, the stored choices it starts from, and the choices it changes.
#include "headless/convertfixture.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

using namespace headlesstest;

namespace {

// The switches among an encoder's arguments, each with its value, in their order.
QStringList switchesIn(const QStringList &arguments, const QStringList &names)
{
    QStringList found;
    for (qsizetype at = 0; at + 1 < arguments.size(); ++at) {
        if (names.contains(arguments[at]))
            found << arguments[at] << arguments[at + 1];
    }
    return found;
}

} // namespace

class ConvertCommandTest : public ConvertTestBase {
    Q_OBJECT

    std::unique_ptr<ProgramCopy> m_fakeEncoder; // says which arguments it was given

private slots:
    void initTestCase() { setUp(); }
    void init() { storePreferences(); }

    // Each mistake in the command line is told on the error output, exit status 2, and nothing
    // is converted.
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("told");
        const QString a = media("a.avi");
        QTest::newRow("no inputs") << QStringList{"--convert"} << "No file or folder to convert is given.";
        QTest::newRow("unknown option") << QStringList{"--convert", "--fast", a} << "Unknown option 'fast'.";
        QTest::newRow("missing option value")
            << QStringList{"--convert", a, "--profile"} << "Missing value after '--profile'.";
        QTest::newRow("unknown profile")
            << QStringList{"--convert", "-p", "Huge", a}
            << "There is no profile \"Huge\". The profiles are:\n  Damaged\n  Small\n  Tiny\n";
        QTest::newRow("damaged profile") << QStringList{"--convert", "--profile", "damaged", a}
                                         << "the Index 4 of parameter \"Size\" lies outside its 1 choices.";
        QTest::newRow("missing output folder") << QStringList{"--convert", "-o", media("nowhere"), a}
                                               << "The output folder \"" + media("nowhere") + "\" does not exist.";
        QTest::newRow("jobs no number") << QStringList{"--convert", "-j", "two", a} << "The number of jobs \"two\"";
        QTest::newRow("jobs negative") << QStringList{"--convert", "--jobs", "-1", a} << "The number of jobs \"-1\"";
        QTest::newRow("rename and overwrite") << QStringList{"--convert", "--rename", "--overwrite", a}
                                              << "Choose either --rename or --overwrite, not both.";
        QTest::newRow("setting without choice") << QStringList{"--convert", "--set", "Video Size", a}
                                                << "The setting \"Video Size\" is not of the form Caption=Choice.";
        QTest::newRow("unknown parameter")
            << QStringList{"--convert", "--set", "Bit Rate=256 kbps", a}
            << "The profile has no parameter \"Bit Rate\". Its parameters are \"Video Codec\", "
               "\"Video Size\", \"Audio Codec\", \"Pixel Format\", \"Video Filter\".";
        QTest::newRow("fixed parameter")
            << QStringList{"--convert", "--set", "pixel format=yuv444p", a}
            << "The parameter \"Pixel Format\" is fixed to \"yuv420p\" and cannot be changed.";
        QTest::newRow("no such choice") << QStringList{"--convert", "--set", "Video Size=640x480", a}
                                        << "\"640x480\" is no choice of the parameter \"Video Size\". Its choices are "
                                           "\"Original Size\", \"176x144 (QCIF)\".";
        QTest::newRow("custom size without numbers")
            << QStringList{"--convert", "-p", "small", "--set", "Video Size=wide x 5", a}
            << "Its choices are \"Original Size\", \"176x144 (QCIF)\", \"352x288 "
               "(CIF)\", or a custom size such as \"320x240\".";
        QTest::newRow("custom size chosen bare")
            << QStringList{"--convert", "-p", "small", "--set", "Video Size=custom size", a}
            << "\"custom size\" is no choice of the parameter \"Video Size\".";
        QTest::newRow("start no time") << QStringList{"--convert", "--start", "10", a}
                                       << "The start time \"10\" is no time such as 00:01:30.5";
        QTest::newRow("end no time") << QStringList{"--convert", "--end", "0:0", a}
                                     << "The end time \"0:0\" is no time";
        QTest::newRow("start past the end") << QStringList{"--convert", "--start", "00:00:02", a}
                                            << "The start time 00:00:02 leaves nothing of \"" + a +
                                                   "\" to convert: it runs from 00:00:00.0 to 00:00:01.";
        QTest::newRow("end before start") << QStringList{"--convert", "--start", "00:00:00.8", "--end", "00:00:00.5", a}
                                          << "The start time 00:00:00.8 leaves nothing";
        QTest::newRow("part too short")
            << QStringList{"--convert", "--start", "00:00:03.8", media("four.avi")}
            << "The part of \"" + media("four.avi") +
                   "\" from 00:00:03.8 to 00:00:04 is too short to convert: it must last more than half a second.";
        QTest::newRow("missing input") << QStringList{"--convert", a, media("gone.avi"), media("gone too.avi")}
                                       << "The input \"" + media("gone.avi") + "\" does not exist.\nThe input \"" +
                                              media("gone too.avi") + "\" does not exist.";
        QTest::newRow("folder without videos")
            << QStringList{"--convert", media("empty")} << "The folders given hold no video file to convert.";
        QTest::newRow("options without --convert") << QStringList{"--help", "--fast"} << "Unknown option 'fast'.";
    }
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, told);
        const Finished finished = run(*m_program, arguments);
        QVERIFY2(finished.exitCode == 2 && !finished.crashed, qPrintable(finished.describe()));
        QVERIFY2(finished.err.contains(told), qPrintable(finished.describe()));
        QCOMPARE(finished.out, QString());
        QCOMPARE(fileNames(m_storedOutput.path()), QStringList());
    }

    void informationCommands()
    {
        Finished finished = run(*m_program, {"--version"});
        QCOMPARE(finished.exitCode, 0);
        QCOMPARE(finished.out, "Velkor 3GP Video Converter 2.1\n");
        finished = run(*m_program, {"--list-profiles"});
        QCOMPARE(finished.exitCode, 0);
        QCOMPARE(finished.out, "Damaged\nSmall\nTiny\n");
        for (const QStringList &arguments : {QStringList{"--help"}, QStringList{"--convert", "--help", "whatever"}}) {
            finished = run(*m_program, arguments);
            QCOMPARE(finished.exitCode, 0);
            QVERIFY(finished.out.startsWith("Usage: velkor --convert [options] FILE|FOLDER...\n"));
            for (const char *option : {"--profile <NAME>", "--output <DIR>", "-r, --recursive", "--jobs <N>",
                                       "--rename", "--overwrite", "--skip-existing", "--set <Caption=Choice>",
                                       "--start <TIME>", "--end <TIME>", "--list-profiles", "--json"})
                QVERIFY2(finished.out.contains(option), option);
            QVERIFY2(finished.out.contains(
                         QRegularExpression("\\(default:\\s+the\\s+window's\\s+simultaneous\\s+conversions\\)")),
                     qPrintable(finished.out));
        }
        QCOMPARE(finished.err, QString());
    }

    // Without options a run takes the window's profile, output path and choice for existing
    // files; a folder gives its videos, a name beginning with "-" comes after "--", and an input
    // named twice converts once.
    void convertsWithTheStoredChoices()
    {
        const Finished finished = run(*m_program, {"--convert", media("folder"), media("a.avi"), media("b clip é.avi"),
                                                   media("folder/a.avi"), "--", media("-lead.avi"), media("a.avi")});
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        const QString out = m_storedOutput.path() + "/";
        // The second "a" takes its indexed name: the stored Overwrite is for files that were there
        // before the run, never for one the run wrote.
        QCOMPARE(fileNames(out), (QStringList{"-lead.3gp", "C.3gp", "a.3gp", "a_3.3gp", "b clip é.3gp"}));
        QCOMPARE(linesWith(finished.out, "Complete"),
                 (QStringList{"[1/5] Complete " + media("folder/a.avi") + " -> " + out + "a.3gp",
                              "[2/5] Complete " + media("folder/C.MP4") + " -> " + out + "C.3gp",
                              "[3/5] Complete " + media("a.avi") + " -> " + out + "a_3.3gp",
                              "[4/5] Complete " + media("b clip é.avi") + " -> " + out + "b clip é.3gp",
                              "[5/5] Complete " + media("-lead.avi") + " -> " + out + "-lead.3gp"}));
        QCOMPARE(linesWith(finished.out, "Converting").size(), 5);
        QVERIFY2(
            finished.out.contains(QRegularExpression("\n5 of 5 files complete, 0 failed, 0 incomplete, in \\S+\\.\n$")),
            qPrintable(finished.out));
        QCOMPARE(frameSize(out + "a.3gp"), "176x144");
        QCOMPARE(finished.err, QString());
        for (const QString &name : fileNames(out))
            QVERIFY(QFile::remove(out + name));
    }

    // An installed program keeps the user's files in their home: the run reads the user's
    // profiles and preferences there, or the shipped preferences while they have none of their
    // own, and makes nothing but the default output folder.
    void sharedInstallation()
    {
        ProgramCopy installed(TestProfiles);
        QVERIFY(installed.isValid());
        installed.writePreferences("[Main]\r\nProfile=2\r\n");
        QFile marker(installed.directory.filePath("system-wide"));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        const QString home = installed.home.path();
        QVERIFY(QDir(home).mkpath(".local/share/velkor/Profiles"));
        QFile own(home + "/.local/share/velkor/Profiles/Tiny.vkp");
        QVERIFY(own.open(QIODevice::WriteOnly) &&
                own.write(QByteArray(TestProfiles.at(1).second).replace("Type=3gp", "Type=mkv")) > 0);
        own.close();

        QCOMPARE(run(installed, {"--list-profiles"}).out, "Damaged\nSmall\nTiny\n");
        Finished finished = run(installed, {"--convert", media("a.avi")});
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QCOMPARE(fileNames(home + "/Videos"), QStringList{"a.mkv"});
        QVERIFY(!QFileInfo::exists(home + "/.config"));

        QVERIFY(QDir(home).mkpath(".config/velkor"));
        QFile preferences(home + "/.config/velkor/Preferences.ini");
        QVERIFY(preferences.open(QIODevice::WriteOnly) && preferences.write("[Main]\r\nProfile=1\r\n") > 0);
        preferences.close();
        finished = run(installed, {"--convert", media("a.avi")});
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QCOMPARE(fileNames(home + "/Videos"), (QStringList{"a.mkv", "a.mp4"}));
        QCOMPARE(fileNames(installed.directory.path()),
                 (QStringList{"Preferences.ini", "system-wide", "velkor", "wmaspi.dll"}));
    }

    // A setting changes the encoder's arguments as the same choice in the grids does; the encoder's
    // own tests show what each switch does to the output, and one real run below the whole way.
    void settingsChangeTheOutput_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QStringList>("switches");
        QTest::newRow("the profile's own") << QStringList{} << QStringList{"-s", "176x144"};
        QTest::newRow("another caption") << QStringList{"--set", "video size=352X288 (cif)"}
                                         << QStringList{"-s", "352x288"};
        QTest::newRow("the original") << QStringList{"--set", "Video Size=Original Size"} << QStringList{};
        QTest::newRow("custom") << QStringList{"--set", "Video Size=160x120"} << QStringList{"-s", "160x120"};
        QTest::newRow("last one counts") << QStringList{"--set", "Video Size=160x120", "--set",
                                                        "Video Size=352x288 (CIF)"}
                                         << QStringList{"-s", "352x288"};
        QTest::newRow("free parameter") << QStringList{"--set", "Video Size=Original Size", "--set",
                                                       "Video Filter=scale=96:64"}
                                        << QStringList{"-vf", "scale=96:64"};
        // A typed value is one argument, blanks and all.
        QTest::newRow("free parameter with a blank")
            << QStringList{"--set", "Video Size=Original Size", "--set", "Video Filter=scale=96:64, hflip"}
            << QStringList{"-vf", "scale=96:64, hflip"};
    }
    void settingsChangeTheOutput()
    {
        QFETCH(QStringList, settings);
        QFETCH(QStringList, switches);
        if (!m_fakeEncoder) {
            m_fakeEncoder = std::make_unique<ProgramCopy>(TestProfiles);
            const QString encoder = m_fakeEncoder->directory.filePath("wmaspi.dll");
            QVERIFY(QFile::remove(encoder) && QFile::copy(VELKOR_TEST_BIN_DIR "/fake_encoder", encoder));
        }
        QTemporaryDir output;
        QProcessEnvironment environment = m_fakeEncoder->environment();
        environment.insert("FAKE_ENCODER_SCRIPT", "args|exit:1");
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(m_fakeEncoder->program(), QStringList{"--convert", "--json", "-p", "SMALL", "-o", output.path()} +
                                                    settings + QStringList{media("a.avi")});
        const Finished finished = finish(process);
        QStringList arguments;
        for (const QString &line : finished.out.split('\n', Qt::SkipEmptyParts)) {
            const QJsonObject event = QJsonDocument::fromJson(line.toUtf8()).object();
            if (event.value("event") == "taskEnded") {
                for (const QString &said : event.value("log").toString().split('\n'))
                    arguments << said.mid(4);
            }
        }
        QVERIFY2(arguments.contains(media("a.avi")), qPrintable(finished.describe()));
        QCOMPARE(switchesIn(arguments, {"-s", "-vf"}), switches);
    }

    void aSettingReachesTheOutput()
    {
        QTemporaryDir output;
        const Finished finished =
            run(*m_program, {"--convert", "-p", "SMALL", "-o", output.path(), "--set", "Video Size=Original Size",
                             "--set", "Video Filter=scale=96:64, hflip", media("a.avi")});
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QCOMPARE(frameSize(output.filePath("a.mp4")), "96x64");
    }

    // --start and --end cut every file as the Output grid's Start Time and End Time do.
    void startAndEndShorten_data()
    {
        QTest::addColumn<QStringList>("cut");
        QTest::addColumn<double>("seconds");
        QTest::newRow("start") << QStringList{"--start", "00:00:01"} << 3.0;
        QTest::newRow("end") << QStringList{"--end", "00:00:02"} << 2.0;
        QTest::newRow("both") << QStringList{"--start", "0:0:1.5", "--end", "00:00:02.5"} << 1.0;
        // As the Output grid takes it: the file ends first.
        QTest::newRow("end past the file") << QStringList{"--start", "00:00:01", "--end", "00:00:09"} << 3.0;
    }
    void startAndEndShorten()
    {
        QFETCH(QStringList, cut);
        QFETCH(double, seconds);
        QTemporaryDir output;
        const Finished finished =
            run(*m_program, QStringList{"--convert", "-o", output.path()} + cut + QStringList{media("four.avi")});
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        const double length = duration(output.filePath("four.3gp"));
        QVERIFY2(qAbs(length - seconds) < 0.3, qPrintable(QString::number(length)));
    }
};

std::unique_ptr<QObject> makeConvertCommandTest()
{
    return std::make_unique<ConvertCommandTest>();
}

#include "tst_convertcommand.moc"
