// Runs the world interrupts: an input cut while it waits, a signal to the command line or the
// window at each stage, and the pass logs a killed run leaves.
#include "headless/convertfixture.h"
#include "helpers/processstat.h"
#include "helpers/testclips.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

using namespace headlesstest;

class ConvertSignalsTest : public ConvertTestBase {
    Q_OBJECT

private slots:
    void initTestCase() { setUp(); }
    void init() { storePreferences(); }

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

    // Ctrl+Z holds the encoder with its FFmpeg, which run at the idle priority asked for, then
    // the program itself; fg lets them all go on, and the file converts whole.
    void suspendAndContinue()
    {
        QTemporaryDir output;
        QProcess process;
        start(process, *m_program,
              {"--convert", "-p", "small", "--json", "--priority", "idle", "--set", PlayingPace, "-o", output.path(),
               media("four.avi")});
        QString out;
        QTRY_VERIFY_WITH_TIMEOUT((out += QString::fromUtf8(process.readAllStandardOutput())).contains("\"progress\""),
                                 60000);
        const qint64 pid = process.processId();
        QCOMPARE(QProcess::execute("kill", {"-TSTP", QString::number(pid)}), 0);
        QTRY_VERIFY_WITH_TIMEOUT((out += QString::fromUtf8(process.readAllStandardOutput())).contains("\"paused\""),
                                 10000);
        QTRY_COMPARE_WITH_TIMEOUT(processstat::state(pid), 'T', 5000);
        const QList<qint64> encoders = processstat::processesWith(4, pid);
        QCOMPARE(encoders.size(), 1);
        const QList<qint64> group = processstat::groupMembers(encoders.first());
        QVERIFY(group.size() >= 2);
        for (const qint64 member : group) {
            QTRY_COMPARE_WITH_TIMEOUT(processstat::state(member), 'T', 5000);
            for (const qint64 policy : processstat::threadFields(member, processstat::PolicyField))
                QCOMPARE(policy, processstat::IdlePolicy);
        }
        QCOMPARE(QProcess::execute("kill", {"-CONT", QString::number(pid)}), 0);
        Finished finished = finish(process, 60000);
        finished.out.prepend(out);
        QVERIFY2(finished.exitCode == 0 && !finished.crashed, qPrintable(finished.describe()));
        QVERIFY(finished.out.indexOf("{\"event\":\"resumed\"}") > finished.out.indexOf("{\"event\":\"paused\"}"));
        QVERIFY(finished.out.contains("\"end\":\"completed\""));
        QVERIFY(duration(output.filePath("four.mp4")) > 3.5);
    }

    // SIGUSR1: the file converting now finishes, the next one is not begun.
    void stopAfterCurrentFile()
    {
        QTemporaryDir output;
        QProcess process;
        start(process, *m_program,
              {"--convert", "-p", "small", "-j", "1", "--set", PlayingPace, "-o", output.path(), media("a.avi"),
               media("four.avi")});
        QString out;
        QTRY_VERIFY_WITH_TIMEOUT(
            (out += QString::fromUtf8(process.readAllStandardOutput())).contains("[1/2] Converting"), 60000);
        QCOMPARE(QProcess::execute("kill", {"-USR1", QString::number(process.processId())}), 0);
        Finished finished = finish(process, 60000);
        finished.out.prepend(out);
        QVERIFY2(finished.exitCode == 1 && !finished.crashed, qPrintable(finished.describe()));
        QVERIFY2(finished.out.contains("\nStopped after the current files: 1 of 2 files complete, 0 failed, "
                                       "0 incomplete, in "),
                 qPrintable(finished.out));
        QCOMPARE(fileNames(output.path()), QStringList{"a.mp4"});
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
        QVERIFY(copy.addWindow());
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
        if (window) {
            QVERIFY(copy.addWindow());
            environment.insert("QT_QPA_PLATFORM", "offscreen");
        }
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
};

std::unique_ptr<QObject> makeConvertSignalsTest()
{
    return std::make_unique<ConvertSignalsTest>();
}

#include "tst_convertsignals.moc"
