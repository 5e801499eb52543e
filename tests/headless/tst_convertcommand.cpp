// The program without its window, driven as a script or another program drives it: through its
// command line, its output and its exit status, converting generated clips with the real encoder.
#include "headless/headlessprogram.h"
#include "helpers/testclips.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

using namespace headlesstest;

namespace {

QByteArray profileText(const QByteArray &type, const QByteArray &sizes, const QByteArray &sizeValues)
{
    return "[Main]\r\nType=" + type +
           "\r\nPara=5\r\n0=Video Codec\r\n1=Video Size\r\n2=Audio Codec\r\n3=Pixel Format\r\n4=Video Filter\r\n"
           "[Video Codec]\r\nSort=1\r\ncmd=-c:v\r\nList=1\r\nCaption=MPEG-4,\r\nValue=mpeg4,\r\nIndex=0\r\n"
           "[Video Size]\r\nSort=1\r\ncmd=-s\r\nList=1\r\nCaption=" +
           sizes + "\r\nValue=" + sizeValues +
           "\r\nIndex=1\r\n"
           "[Audio Codec]\r\nSort=2\r\ncmd=-c:a\r\nList=1\r\nCaption=AAC mono,\r\nValue=aac -ac 1 -ar "
           "8000,\r\nIndex=0\r\n"
           "[Pixel Format]\r\nSort=3\r\nReadOnly=1\r\ncmd=-pix_fmt\r\nList=0\r\nCaption=yuv420p\r\nValue=yuv420p\r\n"
           "[Video Filter]\r\nSort=3\r\nReadOnly=0\r\ncmd=-vf\r\nList=0\r\nCaption=\r\nValue=\r\n";
}

// In the window's sorted list: Damaged, Small, Tiny.
const QList<std::pair<QString, QByteArray>> TestProfiles{
    {"Small.vkp", profileText("mp4", "Original Size,176x144 (QCIF),352x288 (CIF),Custom Size,", ",176x144,352x288,,")},
    {"Tiny.vkp", profileText("3gp", "Original Size,176x144 (QCIF),", ",176x144,")},
    {"Damaged.vkp", QByteArray("[Main]\r\nType=mp4\r\nPara=1\r\n0=Size\r\n[Size]\r\nSort=1\r\ncmd=-s\r\nList=1\r\n"
                               "Caption=Small,\r\nValue=176x144,\r\nIndex=4\r\n")},
};

// A Target Size conversion held to the pace of playing.
const QByteArray SizedProfile =
    "[Main]\r\nType=mp4\r\nPara=4\r\n0=Video Codec\r\n1=Audio Codec\r\n2=Target Size\r\n3=Video Filter\r\n"
    "[Video Codec]\r\nSort=1\r\ncmd=-c:v\r\nList=1\r\nCaption=MPEG-4,\r\nValue=mpeg4,\r\nIndex=0\r\n"
    "[Audio Codec]\r\nSort=2\r\ncmd=-c:a\r\nList=1\r\nCaption=AAC,\r\nValue=aac,\r\nIndex=0\r\n"
    "[Target Size]\r\nSort=3\r\nReadOnly=1\r\ncmd=-fit\r\nList=0\r\nCaption=1M\r\nValue=1M\r\n"
    "[Video Filter]\r\nSort=3\r\nReadOnly=1\r\ncmd=-vf\r\nList=0\r\nCaption=realtime\r\nValue=realtime\r\n";

// The realtime filter holds a conversion to the pace of playing, so it is still running when
// the test interrupts it.
const QString PlayingPace = QStringLiteral("Video Filter=realtime");

// The files below folder, by their paths relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator found(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (found.hasNext())
        files << QDir(folder).relativeFilePath(found.next());
    files.sort();
    return files;
}

// The lines of a plain report that tell one status, e.g. "Complete".
QStringList linesWith(const QString &out, const QString &status)
{
    QStringList found;
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        if (line.contains(QRegularExpression(QStringLiteral("^\\[\\d+/\\d+\\] ") + status + QLatin1Char(' '))))
            found << line;
    }
    return found;
}

} // namespace

class ConvertCommandTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramCopy> m_program;
    QTemporaryDir m_media;
    QTemporaryDir m_storedOutput; // the output path in the preferences

    QString media(const QString &name) const { return m_media.filePath(name); }
    // Tiny is stored by its name and the position it had before Damaged was added, so every
    // run without -p shows that the name wins while it is listed.
    void storePreferences(const QByteArray &overwrite = "1", const QByteArray &jobs = "1")
    {
        m_program->writePreferences(
            "[Main]\r\nVersion=2.1\r\nProfile=1\r\nProfile Name=Tiny\r\nOutput Path=" + m_storedOutput.path().toUtf8() +
            "\r\nOverwrite=" + overwrite + "\r\nJobs=" + jobs + "\r\n");
    }

private slots:
    void initTestCase()
    {
        m_program = std::make_unique<ProgramCopy>(TestProfiles);
        QVERIFY(m_program->isValid());
        storePreferences();
        // One-second clips, a clip of four seconds to cut, a longer one to interrupt, and a
        // file that only pretends to be a video.
        QVERIFY(testclips::makeClip(media("a.avi"), 1));
        QVERIFY(testclips::makeClip(media("four.avi"), 4));
        QVERIFY(testclips::makeClip(media("long.avi"), 20));
        QDir(m_media.path()).mkpath("folder/inner");
        for (const char *copy : {"b clip é.avi", "-lead.avi", "folder/a.avi", "folder/C.MP4", "folder/inner/d.avi"})
            QVERIFY(QFile::copy(media("a.avi"), media(copy)));
        QFile notes(media("folder/notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("no video") > 0);
        QFile broken(media("broken.avi"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write(QByteArray(4096, 'x')) > 0);
        QDir(m_media.path()).mkdir("empty");
        // A tree three folders deep: one name in two folders, two names alike in one, a hidden
        // folder and one without videos.
        QVERIFY(testclips::makeClip(media("short.avi"), 0.4));
        QVERIFY(QDir(m_media.path()).mkpath("tree/one/-two x/three é"));
        QVERIFY(QDir(m_media.path()).mkpath("tree/.hidden"));
        QVERIFY(QDir(m_media.path()).mkpath("tree/notes"));
        for (const char *copy : {"tree/top.avi", "tree/one/clip.avi", "tree/one/clip.mp4", "tree/one/-two x/clip.avi",
                                 "tree/one/-two x/three é/deep.avi", "tree/.hidden/secret.avi"})
            QVERIFY(QFile::copy(media("short.avi"), media(copy)));
        QVERIFY(QFile::copy(media("folder/notes.txt"), media("tree/notes/notes.txt")));
    }

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

    // An output whose name is taken is renamed or overwritten as asked, or as the preferences say.
    void existingOutputs()
    {
        QTemporaryDir output;
        const QString taken = output.filePath("a.mp4");
        QFile file(taken);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("the user's own") > 0);
        file.close();
        const QStringList convert{"--convert", "-p", "Small", "-o", output.path(), media("a.avi")};
        QCOMPARE(run(*m_program, convert + QStringList{"--rename"}).exitCode, 0);
        QCOMPARE(contents(taken), "the user's own");
        QCOMPARE(fileNames(output.path()), (QStringList{"a.mp4", "a_1.mp4"}));
        storePreferences("0");
        QCOMPARE(run(*m_program, convert).exitCode, 0);
        QCOMPARE(fileNames(output.path()), (QStringList{"a.mp4", "a_1.mp4", "a_2.mp4"}));
        QCOMPARE(run(*m_program, convert + QStringList{"--overwrite"}).exitCode, 0);
        QCOMPARE(fileNames(output.path()), (QStringList{"a.mp4", "a_1.mp4", "a_2.mp4"}));
        QCOMPARE(contents(taken), contents(output.filePath("a_1.mp4")));
    }

    // -r mirrors a folder's tree in the output folder, claiming names within each folder, and
    // never takes the outputs for inputs when the output folder lies inside it. Run again with
    // --skip-existing, it converts nothing and exits 0.
    void recursiveMirrorsTheTree()
    {
        const QString output = media("tree/converted");
        QVERIFY(QDir().mkpath(output));
        const QStringList convert{"--convert", "-r", "--rename", "-j", "2", "-o", output, media("tree")};
        Finished finished = run(*m_program, convert);
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QCOMPARE(filesBelow(output), (QStringList{"one/-two x/clip.3gp", "one/-two x/three é/deep.3gp", "one/clip.3gp",
                                                  "one/clip_2.3gp", "top.3gp"}));
        QCOMPARE(QDir(output).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"one"});

        finished = run(*m_program, convert + QStringList{"--skip-existing", "--json"});
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        const QStringList events = finished.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(events.size(), 6);
        QCOMPARE(events.filter("{\"event\":\"taskSkipped\",").size(), 5);
        // The name looked for is the one the run gives without renaming, around the names of the
        // files before it in its folder.
        const QJsonObject secondClip = QJsonDocument::fromJson(events.at(2).toUtf8()).object();
        QCOMPARE(secondClip.value("input").toString(), media("tree/one/clip.mp4"));
        QCOMPARE(secondClip.value("output").toString(), output + "/one/clip_2.3gp");
        QVERIFY2(events.last().contains("\"tasks\":0"), qPrintable(events.last()));
        QCOMPARE(QJsonDocument::fromJson(events.last().toUtf8()).object().value("skipped").toInt(), 5);
        // Without --json the summary says why nothing was converted.
        finished = run(*m_program, convert + QStringList{"--skip-existing"});
        QVERIFY2(finished.out.contains("\n0 of 0 files complete, 0 failed, 0 incomplete, 5 skipped, in "),
                 qPrintable(finished.out));
        QVERIFY(QDir(output).removeRecursively());
    }

    // --skip-existing leaves out a file whose output is there, even with --rename, but not one
    // whose conversion was cut off and left its partial file.
    void skipExistingConvertsTheOthers()
    {
        QTemporaryDir output;
        for (const auto &[name, text] :
             {std::pair{"a.3gp", "the user's own"}, std::pair{"b clip é.3gp.part", "cut off"}}) {
            QFile file(output.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) > 0);
        }
        const Finished finished = run(*m_program, {"--convert", "--skip-existing", "--rename", "-o", output.path(),
                                                   media("a.avi"), media("b clip é.avi"), "--", media("-lead.avi")});
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QVERIFY2(finished.out.startsWith("Skipped " + media("a.avi") + ": " + output.filePath("a.3gp") +
                                         " is there already.\n"),
                 qPrintable(finished.out));
        QCOMPARE(finished.out.count("Skipped "), 1);
        QCOMPARE(linesWith(finished.out, "Complete").size(), 2);
        QVERIFY(finished.out.contains("\n2 of 2 files complete, 0 failed, 0 incomplete, 1 skipped, in "));
        QCOMPARE(fileNames(output.path()), (QStringList{"-lead.3gp", "a.3gp", "b clip é.3gp"}));
        QCOMPARE(contents(output.filePath("a.3gp")), "the user's own");
    }

    // Two inputs of one name in one run never write one file: overwriting is for files that were
    // there before. --skip-existing names them in the same order, so the second is not left out
    // for the first one's output.
    void oneRunNeverWritesANameTwice()
    {
        QTemporaryDir output;
        QFile before(output.filePath("a.3gp"));
        QVERIFY(before.open(QIODevice::WriteOnly) && before.write("from an earlier day") > 0);
        before.close();
        const QStringList inputs{media("a.avi"), media("folder/a.avi")};
        Finished finished = run(*m_program, QStringList{"--convert", "--overwrite", "-o", output.path()} + inputs);
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QVERIFY(finished.out.contains("\n2 of 2 files complete"));
        QCOMPARE(fileNames(output.path()), (QStringList{"a.3gp", "a_2.3gp"}));
        QVERIFY(duration(output.filePath("a.3gp")) > 0.5 && duration(output.filePath("a_2.3gp")) > 0.5);

        QVERIFY(QFile::remove(output.filePath("a_2.3gp")));
        finished = run(*m_program, QStringList{"--convert", "--skip-existing", "-o", output.path()} + inputs);
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QCOMPARE(finished.out.count("Skipped "), 1);
        QVERIFY(finished.out.contains("[1/1] Complete " + media("folder/a.avi") + " -> " + output.filePath("a_2.3gp")));
    }

    // Two runs started together on the same files and folder, as two terminals or GNU parallel
    // start them, never write into one file: a name another run is converting is taken, as a file
    // there is. Every file reported complete plays, and no partial file is left.
    void twoRunsMeet_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::newRow("overwrite") << "--overwrite";
        QTest::newRow("rename") << "--rename";
        QTest::newRow("skip existing") << "--skip-existing";
    }
    void twoRunsMeet()
    {
        QFETCH(QString, choice);
        QTemporaryDir output;
        const QStringList convert{"--convert", choice,        "--set",        PlayingPace,
                                  "-o",        output.path(), media("a.avi"), media("b clip é.avi")};
        QProcess first, second;
        start(first, *m_program, convert);
        start(second, *m_program, convert);
        const QList<Finished> runs{finish(first), finish(second)};
        int complete = 0;
        for (const Finished &finished : runs) {
            QVERIFY2(!finished.crashed && (finished.exitCode == 0 || finished.exitCode == 1),
                     qPrintable(finished.describe()));
            for (const QString &line : linesWith(finished.out, "Complete")) {
                const QString written = line.section(" -> ", 1);
                QVERIFY2(duration(written) > 0.5, qPrintable(line));
                ++complete;
            }
            // What one run could not convert, the other was converting.
            for (const QString &line : linesWith(finished.out, "Failed"))
                QVERIFY2(finished.err.contains("by another run"), qPrintable(line + "\n" + finished.err));
        }
        const QStringList files = fileNames(output.path());
        QCOMPARE(files.filter(".part"), QStringList());
        for (const QString &file : files)
            QVERIFY2(duration(output.filePath(file)) > 0.5 && !frameSize(output.filePath(file)).isEmpty(),
                     qPrintable(file));
        if (choice == "--rename") {
            QCOMPARE(complete, 4);
            QCOMPARE(files.size(), 4);
        } else {
            QVERIFY(complete >= 2);
            QCOMPARE(files, (QStringList{"a.3gp", "b clip é.3gp"}));
        }
    }

    // A file that fails is told with the encoder's account on the error output; the others are
    // converted all the same, and the exit status says not all are complete.
    void aFailedFileAmongGoodOnes()
    {
        QTemporaryDir output;
        const Finished finished =
            run(*m_program, {"--convert", "-o", output.path(), media("a.avi"), media("broken.avi"), media("four.avi")});
        QVERIFY2(finished.exitCode == 1, qPrintable(finished.describe()));
        QCOMPARE(fileNames(output.path()), (QStringList{"a.3gp", "four.3gp"}));
        QCOMPARE(linesWith(finished.out, "Failed"),
                 QStringList{"[2/3] Failed " + media("broken.avi") + " -> " + output.filePath("broken.3gp")});
        QCOMPARE(linesWith(finished.out, "Complete").size(), 2);
        QVERIFY(finished.out.contains("\n2 of 3 files complete, 1 failed, 0 incomplete, in "));
        QVERIFY2(finished.err.startsWith("Failed: " + media("broken.avi") + "\n"), qPrintable(finished.err));
        QVERIFY2(finished.err.size() > QString("Failed: " + media("broken.avi") + "\n").size() + 10,
                 qPrintable(finished.err));
    }

    // An encoder that cannot be started ends the run at its first file.
    void anEncoderThatCannotStart()
    {
        const QString encoder = m_program->directory.filePath("wmaspi.dll");
        QVERIFY(QFile::rename(encoder, encoder + ".away"));
        const Finished finished = run(*m_program, {"--convert", media("a.avi"), media("four.avi")});
        QVERIFY(QFile::rename(encoder + ".away", encoder));
        QVERIFY2(finished.exitCode == 1, qPrintable(finished.describe()));
        QVERIFY2(finished.err.contains("The encoder program " + encoder + " could not be started: "),
                 qPrintable(finished.err));
        QVERIFY(finished.out.contains("\nStopped: 0 of 2 files complete, 1 failed, 0 incomplete, in "));
        QCOMPARE(linesWith(finished.out, "Converting").size(), 1);
        QCOMPARE(fileNames(m_storedOutput.path()), QStringList());
    }

    // Two at once write the same files under the same names as one after the other, even when
    // two inputs claim one name.
    void twoJobsGiveTheSameOutputs()
    {
        QTemporaryDir one, two;
        const QStringList inputs{media("a.avi"), media("folder/a.avi"), media("four.avi"), media("b clip é.avi")};
        for (const auto &[output, jobs] : {std::pair{&one, "1"}, std::pair{&two, "2"}}) {
            const Finished finished =
                run(*m_program, QStringList{"--convert", "--rename", "-j", jobs, "-o", output->path()} + inputs);
            QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        }
        const QStringList names{"a.3gp", "a_2.3gp", "b clip é.3gp", "four.3gp"};
        QCOMPARE(fileNames(one.path()), names);
        QCOMPARE(fileNames(two.path()), names);
        for (const QString &name : names)
            QVERIFY2(contents(one.filePath(name)) == contents(two.filePath(name)), qPrintable(name));
    }

    // For other programs every line is one JSON object; the run's end comes last. Without -j the
    // run takes as many jobs as the window last used.
    void jsonEvents()
    {
        QTemporaryDir output;
        storePreferences("1", "2");
        const Finished finished =
            run(*m_program, {"--convert", "--json", "-o", output.path(), media("broken.avi"), media("four.avi")});
        QCOMPARE(finished.exitCode, 1);
        QList<QJsonObject> events;
        for (const QString &line : finished.out.split('\n', Qt::SkipEmptyParts)) {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
            QVERIFY2(error.error == QJsonParseError::NoError && document.isObject(), qPrintable(line));
            events << document.object();
        }
        QVERIFY(events.size() >= 5);
        QCOMPARE(events.at(1).value("event").toString(), "taskStarted");
        QCOMPARE(events.last().value("event").toString(), "runEnded");
        QCOMPARE(events.last().value("end").toString(), "completed");
        QCOMPARE(events.last().value("tasks").toInt(), 2);
        QCOMPARE(events.last().value("complete").toInt(), 1);
        QCOMPARE(events.last().value("failed").toInt(), 1);
        QCOMPARE(events.last().value("exitStatus").toInt(), 1);
        QMap<int, QStringList> byTask;
        for (const QJsonObject &event : events.mid(0, events.size() - 1))
            byTask[event.value("task").toInt(-1)] << event.value("event").toString();
        QCOMPARE(byTask.keys(), (QList<int>{0, 1}));
        for (const QStringList &told : byTask) {
            QCOMPARE(told.first(), "taskStarted");
            QCOMPARE(told.last(), "taskEnded");
            QCOMPARE(told.count("taskStarted") + told.count("taskEnded"), 2);
            QCOMPARE(told.count("progress") + 2, told.size());
        }
        QVERIFY(byTask[1].contains("progress"));
        for (const QJsonObject &event : events) {
            if (event.value("event") != "taskEnded")
                continue;
            const bool broken = event.value("task").toInt() == 0;
            QCOMPARE(event.value("input").toString(), media(broken ? "broken.avi" : "four.avi"));
            QCOMPARE(event.value("output").toString(), output.filePath(broken ? "broken.3gp" : "four.3gp"));
            QCOMPARE(event.value("status").toString(), broken ? "Failed" : "Complete");
            QCOMPARE(event.contains("log"), broken);
        }
    }

    // A setting changes the output as the same choice in the grids does.
    void settingsChangeTheOutput_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("size");
        QTest::newRow("the profile's own") << QStringList{} << "176x144";
        QTest::newRow("another caption") << QStringList{"--set", "video size=352X288 (cif)"} << "352x288";
        QTest::newRow("the original") << QStringList{"--set", "Video Size=Original Size"} << "320x240";
        QTest::newRow("custom") << QStringList{"--set", "Video Size=160x120"} << "160x120";
        QTest::newRow("last one counts") << QStringList{"--set", "Video Size=160x120", "--set",
                                                        "Video Size=352x288 (CIF)"}
                                         << "352x288";
        QTest::newRow("free parameter") << QStringList{"--set", "Video Size=Original Size", "--set",
                                                       "Video Filter=scale=96:64"}
                                        << "96x64";
        // A typed value is one argument, blanks and all.
        QTest::newRow("free parameter with a blank")
            << QStringList{"--set", "Video Size=Original Size", "--set", "Video Filter=scale=96:64, hflip"} << "96x64";
    }
    void settingsChangeTheOutput()
    {
        QFETCH(QStringList, settings);
        QFETCH(QString, size);
        QTemporaryDir output;
        const Finished finished = run(*m_program, QStringList{"--convert", "-p", "SMALL", "-o", output.path()} +
                                                      settings + QStringList{media("a.avi")});
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QCOMPARE(frameSize(output.filePath("a.mp4")), size);
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

    // A file cut while it waits for its turn converts to what is left, and is incomplete: the run
    // planned its length when it was added, and the log says the input changed.
    void anInputCutWhileQueued()
    {
        const QString victim = media("victim.ts");
        QCOMPARE(QProcess::execute("ffmpeg",
                                   {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=96x64:rate=25:duration=12",
                                    "-c:v", "mpeg1video", "-f", "mpegts", victim}),
                 0);
        QTemporaryDir output;
        QProcess process;
        start(process, *m_program,
              {"--convert", "-p", "small", "--set", PlayingPace, "-o", output.path(), media("a.avi"), victim});
        QString out;
        QTRY_VERIFY_WITH_TIMEOUT(
            (out += QString::fromUtf8(process.readAllStandardOutput())).contains("[1/2] Converting"), 60000);
        QFile cut(victim);
        QVERIFY(cut.resize(cut.size() / 6 / 188 * 188));
        Finished finished = finish(process, 60000);
        finished.out.prepend(out);
        QVERIFY2(finished.exitCode == 1, qPrintable(finished.describe()));
        QCOMPARE(linesWith(finished.out, "Incomplete"),
                 QStringList{"[2/2] Incomplete " + victim + " -> " + output.filePath("victim.mp4")});
        QVERIFY(duration(output.filePath("victim.mp4")) < 3);
    }

    // Ctrl+C, or the system's request to end, stops the run: the encoders are gone, their partial
    // files too, and what was there before and what was converted before stays as it was.
    void anInterruptStopsTheRun_data()
    {
        QTest::addColumn<QString>("signal");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("Ctrl+C") << "INT" << 130;
        QTest::newRow("termination") << "TERM" << 143;
        QTest::newRow("hang-up") << "HUP" << 129;
    }
    void anInterruptStopsTheRun()
    {
        QFETCH(QString, signal);
        QFETCH(int, exitCode);
        QTemporaryDir output;
        QFile earlier(output.filePath("long.mp4"));
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("from an earlier day") > 0);
        earlier.close();
        QProcess process;
        start(process, *m_program,
              {"--convert", "-p", "small", "--overwrite", "--set", PlayingPace, "-o", output.path(), media("a.avi"),
               media("long.avi")});
        const QString part = output.filePath("long.mp4.part");
        QString out;
        QTRY_VERIFY_WITH_TIMEOUT(
            (out += QString::fromUtf8(process.readAllStandardOutput())).contains("[2/2] Converting") &&
                QFileInfo(part).size() > 0,
            60000);
        const QByteArray converted = contents(output.filePath("a.mp4"));
        QVERIFY(!converted.isEmpty());
        QVERIFY(!processesMentioning(output.path()).isEmpty());
        QCOMPARE(QProcess::execute("kill", {"-" + signal, QString::number(process.processId())}), 0);
        Finished finished = finish(process, 30000);
        finished.out.prepend(out);
        QVERIFY2(finished.exitCode == exitCode && !finished.crashed, qPrintable(finished.describe()));
        QVERIFY2(finished.out.contains("\n[2/2] Stop " + media("long.avi")), qPrintable(finished.out));
        QVERIFY(finished.out.contains("\nStopped: 1 of 2 files complete, 0 failed, 0 incomplete, in "));
        QCOMPARE(processesMentioning(output.path()), QList<qint64>());
        QCOMPARE(fileNames(output.path()), (QStringList{"a.mp4", "long.mp4"}));
        QCOMPARE(contents(output.filePath("long.mp4")), "from an earlier day");
        QCOMPARE(contents(output.filePath("a.mp4")), converted);
    }

    // The window, too, ends on a closed terminal or a logout as on a close: its preferences are
    // stored and it exits normally.
    void theWindowEndsOnASignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("hang-up") << int(SIGHUP);
        QTest::newRow("termination") << int(SIGTERM);
    }
    void theWindowEndsOnASignal()
    {
        QFETCH(int, signal);
        ProgramCopy copy(TestProfiles);
        copy.writePreferences("[Main]\r\nProfile=1\r\n");
        QProcess process;
        QProcessEnvironment environment = copy.environment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(copy.program(), {});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(process.processId(), signal), 30000);
        QCOMPARE(QProcess::execute("kill", {"-" + QString::number(signal), QString::number(process.processId())}), 0);
        const Finished finished = finish(process, 30000);
        QVERIFY2(finished.exitCode == 0 && !finished.crashed, qPrintable(finished.describe()));
        QVERIFY(contents(copy.directory.filePath("Preferences.ini")).contains("Output Path="));
    }

    // A ".ts" among a folder's files is opened by its probe alone, so a named pipe holds neither
    // face's start; a signal that comes while they start ends them as it would later.
    void aSignalDuringTheStart_data()
    {
        QTest::addColumn<bool>("window");
        QTest::newRow("window") << true;
        QTest::newRow("command line") << false;
    }
    void aSignalDuringTheStart()
    {
        QFETCH(bool, window);
        ProgramCopy copy(TestProfiles);
        copy.writePreferences("[Main]\r\nProfile=1\r\n");
        QTemporaryDir folder, output;
        QVERIFY(testclips::makeNamedPipe(folder.filePath("pipe")));
        QVERIFY(QFile::link(folder.filePath("pipe"), folder.filePath("stuck.ts")));
        QVERIFY(QFile::copy(media("a.avi"), folder.filePath("a.avi")));
        QProcess process;
        QProcessEnvironment environment = copy.environment();
        if (window)
            environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(copy.program(),
                      window ? QStringList{folder.path()}
                             : QStringList{"--convert", "-p", "small", "-o", output.path(), folder.path()});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(process.processId(), SIGTERM), 30000);
        QCOMPARE(QProcess::execute("kill", {"-TERM", QString::number(process.processId())}), 0);
        const Finished finished = finish(process, 30000);
        QVERIFY2(finished.exitCode == (window ? 0 : 143) && !finished.crashed, qPrintable(finished.describe()));
        QCOMPARE(processesMentioning(folder.path()), QList<qint64>());
        if (window)
            QVERIFY(contents(copy.directory.filePath("Preferences.ini")).contains("Output Path="));
        else
            QVERIFY2(finished.err.contains("Stopped before any file was converted."), qPrintable(finished.describe()));
    }

    // A Target Size conversion cut off by a signal leaves no pass log behind; one that a program
    // killed with its encoders left goes at the next start, Target Size or not.
    void noPassLogOutlivesItsRun()
    {
        ProgramCopy copy({{"Sized.vkp", SizedProfile}, {"Small.vkp", TestProfiles.first().second}});
        QTemporaryDir temporary, output;
        QProcessEnvironment environment = copy.environment();
        environment.insert("TMPDIR", temporary.path());
        const QDir passLogs(temporary.path());
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(copy.program(), {"--convert", "-p", "sized", "-o", output.path(), media("long.avi")});
        QTRY_VERIFY_WITH_TIMEOUT(!passLogs.entryList({"wmaspi-fit-*"}, QDir::Dirs).isEmpty(), 60000);
        QCOMPARE(QProcess::execute("kill", {"-TERM", QString::number(process.processId())}), 0);
        Finished finished = finish(process, 30000);
        QVERIFY2(finished.exitCode == 143 && !finished.crashed, qPrintable(finished.describe()));
        QCOMPARE(passLogs.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());

        QProcess gone;
        gone.start("true");
        QVERIFY(gone.waitForFinished());
        const QString orphan = QStringLiteral("wmaspi-fit-%1-AbCdEf").arg(gone.processId());
        QVERIFY(passLogs.mkpath(orphan + "/inner"));
        process.start(copy.program(), {"--convert", "-p", "small", "-o", output.path(), media("a.avi")});
        finished = finish(process);
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QCOMPARE(passLogs.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    // -r names each output folder after the real folder, never after a link to it within the
    // tree; a file whose name is no UTF-8 is told of, with its bytes, and the others converted.
    void linksAndUndecodableNames()
    {
        QTemporaryDir tree, output;
        QVERIFY(QDir(tree.path()).mkpath("real"));
        QVERIFY(QFile::copy(media("short.avi"), tree.filePath("real/clip.avi")));
        QVERIFY(QFile::link(tree.filePath("real"), tree.filePath("a link")));
        QVERIFY(testclips::copyUnderRawName(media("short.avi"), tree.filePath("real"), "caf\xe9.avi"));
        const Finished finished = run(*m_program, {"--convert", "-r", "-o", output.path(), tree.path()});
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QCOMPARE(filesBelow(output.path()), QStringList{"real/clip.3gp"});
        QCOMPARE(finished.err, "\"" + tree.filePath("real") +
                                   "/caf\\xe9.avi\" is left out: its name is not UTF-8, so it "
                                   "cannot be opened.\n");
        QVERIFY(testclips::removeTree(tree.path()));
    }

    // A reader that stops reading (a "| head") leaves the batch to finish rather than half-written files.
    void aReaderThatGoesAway()
    {
        QTemporaryDir output;
        const auto quoted = [](const QString &text) { return "'" + text + "'"; };
        QProcess process;
        process.setProcessEnvironment(m_program->environment());
        process.start("sh",
                      {"-c", quoted(m_program->program()) + " --convert --json -p small -o " + quoted(output.path()) +
                                 " " + quoted(media("a.avi")) + " " + quoted(media("four.avi")) + " | head -c 1"});
        const Finished finished = finish(process);
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QCOMPARE(fileNames(output.path()), (QStringList{"a.mp4", "four.mp4"}));
    }

    // The README's way of spreading files over processors and machines, run on this one.
    void gnuParallelLine()
    {
        const QString parallel = QStandardPaths::findExecutable("parallel");
        if (parallel.isEmpty())
            QSKIP("GNU parallel is not installed");
        QTemporaryDir output;
        QProcess process;
        process.setProcessEnvironment(m_program->environment());
        process.start(parallel, {"--will-cite", m_program->program(), "--convert", "--skip-existing", "--profile",
                                 "Small", "--output", output.path(), "{}", ":::", media("a.avi"), media("b clip é.avi"),
                                 media("four.avi")});
        const Finished finished = finish(process);
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QCOMPARE(fileNames(output.path()), (QStringList{"a.mp4", "b clip é.mp4", "four.mp4"}));
        QCOMPARE(finished.out.count("1 of 1 file complete, 0 failed, 0 incomplete"), 3);
    }

    // On a terminal the running lines are redrawn in place and never wider than the terminal.
    void terminalLines()
    {
        const QString script = QStandardPaths::findExecutable("script");
        if (script.isEmpty())
            QSKIP("script (util-linux) is not installed");
        QTemporaryDir output;
        const QString longName = media("a name far too long for a terminal of forty columns.avi");
        QFile::remove(longName);
        QVERIFY(QFile::copy(media("four.avi"), longName));
        const auto quoted = [](const QString &text) { return "'" + text + "'"; };
        QProcess process;
        process.setProcessEnvironment(m_program->environment());
        process.start(script, {"-qec",
                               "stty cols 40 rows 24; exec " + quoted(m_program->program()) + " --convert -o " +
                                   quoted(output.path()) + " " + quoted(longName),
                               "/dev/null"});
        const Finished finished = finish(process);
        QVERIFY2(finished.exitCode == 0, qPrintable(finished.describe()));
        QVERIFY2(finished.out.contains("\x1b[1A\r\x1b[J"), qPrintable(finished.out));
        QStringList drawn;
        for (QString line : finished.out.split(QRegularExpression("\r\n|\x1b\\[\\d+A\r\x1b\\[J"), Qt::SkipEmptyParts))
            drawn << line.remove('\r');
        QVERIFY2(!drawn.isEmpty(), qPrintable(finished.out));
        bool running = false;
        for (const QString &line : drawn) {
            running = running || line.contains(QRegularExpression("^ *\\d+%  \\d\\d:\\d\\d:\\d\\d elapsed  "));
            if (!line.startsWith("Complete") && !line.contains("files complete") && !line.contains("file complete"))
                QVERIFY2(line.size() <= 39 && line.endsWith(QStringLiteral("\u2026")), qPrintable(line));
        }
        QVERIFY(running);
        QVERIFY(drawn.last().startsWith("1 of 1 file complete, 0 failed, 0 incomplete, in "));
    }
};

std::unique_ptr<QObject> makeConvertCommandTest()
{
    return std::make_unique<ConvertCommandTest>();
}

#include "tst_convertcommand.moc"
