// What a command-line run tells those who read it: a failed file among good ones, the JSON
// events for other programs, a reader that goes away, GNU parallel, and a terminal.
#include "headless/convertfixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace headlesstest;

class ConvertReportsTest : public ConvertTestBase {
    Q_OBJECT

private slots:
    void initTestCase() { setUp(); }
    void init() { storePreferences(); }

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

    // On a small disk, told to fail rather than wait: every file fails with the reason, the JSON
    // tells the free bytes and where, and nothing is left on the disk.
    void aFullDiskFailsTheFilesLeft()
    {
        QTemporaryDir disk;
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=2m", "tmpfs", disk.path()}) != 0)
            QSKIP("A small file system cannot be mounted here");
        const Finished finished = run(*m_program, {"--convert", "--json", "--on-low-space", "fail", "-o", disk.path(),
                                                   media("a.avi"), media("four.avi")});
        const QStringList files = fileNames(disk.path());
        QProcess::execute("umount", {disk.path()});
        QVERIFY2(finished.exitCode == 1, qPrintable(finished.describe()));
        QCOMPARE(files, QStringList());
        QJsonObject low;
        for (const QString &line : finished.out.split('\n')) {
            if (line.contains("\"lowSpace\""))
                low = QJsonDocument::fromJson(line.toUtf8()).object();
        }
        QCOMPARE(low.value("folder").toString(), disk.path());
        QVERIFY(low.value("freeBytes").toInteger() > 1000000);
        QVERIFY2(finished.err.contains(" left on " + disk.path() + "; the files left fail"), qPrintable(finished.err));
        QCOMPARE(finished.out.count("\"status\":\"Failed\""), 2);
    }
};

std::unique_ptr<QObject> makeConvertReportsTest()
{
    return std::make_unique<ConvertReportsTest>();
}

#include "tst_convertreports.moc"
