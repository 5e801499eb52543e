// The names a command-line run gives its outputs: files there before, folders mirrored, names
// claimed within one run, between jobs and between runs started together.
#include "headless/convertfixture.h"
#include "helpers/testclips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace headlesstest;

class ConvertNamingTest : public ConvertTestBase {
    Q_OBJECT

private slots:
    void initTestCase() { setUp(); }
    void init() { storePreferences(); }

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
            // Each file named here is among those examined below.
            for (const QString &line : linesWith(finished.out, "Complete")) {
                const QFileInfo written(line.section(" -> ", 1));
                QVERIFY2(written.absolutePath() == output.path() && written.isFile(), qPrintable(line));
                ++complete;
            }
            // What one run could not convert, the other was converting.
            for (const QString &line : linesWith(finished.out, "Failed"))
                QVERIFY2(finished.err.contains("by another run"), qPrintable(line + "\n" + finished.err));
        }
        const QStringList files = fileNames(output.path());
        QCOMPARE(files.filter(".part"), QStringList());
        for (const QString &file : files) {
            const VideoFacts facts = videoFacts(output.filePath(file));
            QVERIFY2(facts.seconds > 0.5 && !facts.frameSize.isEmpty(), qPrintable(file));
        }
        if (choice == "--rename") {
            QCOMPARE(complete, 4);
            QCOMPARE(files.size(), 4);
        } else {
            QVERIFY(complete >= 2);
            QCOMPARE(files, (QStringList{"a.3gp", "b clip é.3gp"}));
        }
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
};

std::unique_ptr<QObject> makeConvertNamingTest()
{
    return std::make_unique<ConvertNamingTest>();
}

#include "tst_convertnaming.moc"
