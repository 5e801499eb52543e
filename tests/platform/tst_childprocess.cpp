#include "core/conversion/encodercommand.h"
#include "core/platform/childprocess.h"
#include "core/platform/qtchildprocess.h"
#include "helpers/processalive.h"
#include "helpers/processstat.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <optional>

Q_DECLARE_METATYPE(platform::ProcessPriority)

namespace {

using testprocess::processAlive;

const QString FakeEncoder = QStringLiteral(VELKOR_TEST_BIN_DIR "/fake_encoder");

qint64 pidAfter(const QByteArray &output, const char *key)
{
    const QRegularExpression pattern(QString::fromLatin1(key) + QStringLiteral("=(\\d+)"));
    return pattern.match(QString::fromUtf8(output)).captured(1).toLongLong();
}

struct Reads {
    QList<QByteArray> pieces;
    QByteArray all() const { return pieces.join(); }
};

struct Outcome {
    bool started = true;
    QString startError;
    bool timedOut = false;
    platform::ProcessExit exit;
};

// Runs a program as the program runs its encoders, through the child's signals; with a time
// limit, a child that outlives it is killed as a stalled probe is.
Outcome run(const QString &program, const QStringList &arguments, Reads &reads, int timeLimitMs = -1)
{
    platform::QtProcessLauncher launcher;
    Outcome outcome;
    bool ended = false;
    const auto child = launcher.create();
    QObject::connect(child.get(), &platform::ChildProcess::output,
                     [&](const QByteArray &bytes) { reads.pieces << bytes; });
    QObject::connect(child.get(), &platform::ChildProcess::exited, [&](platform::ProcessExit exit) {
        outcome.exit = exit;
        ended = true;
    });
    QObject::connect(child.get(), &platform::ChildProcess::failedToStart, [&](const QString &reason) {
        outcome.started = false;
        outcome.startError = reason;
        ended = true;
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] {
        outcome.timedOut = true;
        child->terminate();
    });
    if (timeLimitMs >= 0)
        limit.start(timeLimitMs);
    child->launch(program, arguments);
    if (!QTest::qWaitFor([&] { return ended; }, 30000))
        outcome.startError = QStringLiteral("never ended");
    return outcome;
}

Outcome run(const QStringList &script, Reads &reads)
{
    return run(FakeEncoder, script, reads);
}

} // namespace

class ChildProcessTest : public QObject {
    Q_OBJECT

private slots:
    void outputAndExit_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<bool>("crashed");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("clean") << QStringList{"out:hello\\n"} << QByteArray("hello\n") << false << 0;
        QTest::newRow("exit code") << QStringList{"out:bad", "exit:3"} << QByteArray("bad") << false << 3;
        QTest::newRow("crash") << QStringList{"out:x", "crash"} << QByteArray("x") << true << 0;
        QTest::newRow("silent") << QStringList{"exit:0"} << QByteArray() << false << 0;
        QTest::newRow("progress in carriage returns") << QStringList{"out:time=1.0 \\r", "sleep:50", "out:time=2.0 \\r"}
                                                      << QByteArray("time=1.0 \rtime=2.0 \r") << false << 0;
    }
    void outputAndExit()
    {
        QFETCH(QStringList, script);
        QFETCH(QByteArray, output);
        Reads reads;
        const auto outcome = run(script, reads);
        QVERIFY(outcome.started);
        QCOMPARE(reads.all(), output);
        QTEST(outcome.exit.crashed, "crashed");
        if (!outcome.exit.crashed)
            QTEST(outcome.exit.exitCode, "exitCode");
    }

    // Every read holds at most 4095 bytes, and its text is its own bytes only: a short read
    // after a long one carries nothing of the long one.
    void readsAreBoundedAndOwnTheirBytes()
    {
        Reads reads;
        run({"big:10000", "sleep:300", "out:tail"}, reads);
        QCOMPARE(reads.all().size(), 10000 + 4);
        for (const QByteArray &piece : reads.pieces)
            QVERIFY(piece.size() <= platform::ChildProcess::ChunkSize);
        QCOMPARE(reads.pieces.last(), QByteArray("tail"));
    }

    // A run with a time limit ends at it, and the silent child is gone.
    void aWaitEndsAtItsDeadline()
    {
        QElapsedTimer clock;
        clock.start();
        Reads reads;
        const auto outcome = run(FakeEncoder, {"pid", "sleep:60000"}, reads, 300);
        QVERIFY(outcome.started);
        QVERIFY(outcome.timedOut);
        QVERIFY(clock.elapsed() < 10000);
        const qint64 pid = pidAfter(reads.all(), "pid");
        QVERIFY(pid > 0);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 5000);
    }

    void startFailureIsReported()
    {
        Reads reads;
        const auto outcome = run(QStringLiteral("/nonexistent/wmaspi.dll"), {}, reads);
        QVERIFY(!outcome.started);
        QVERIFY(!outcome.startError.isEmpty());
        platform::QtProcessLauncher launcher;
        const auto child = launcher.create();
        QSignalSpy failed(child.get(), &platform::ChildProcess::failedToStart);
        child->launch(QStringLiteral("/nonexistent/wmaspi.dll"), {});
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 10000);
        QVERIFY(!failed.first().first().toString().isEmpty());
    }

    // A stop kills the encoder and whatever it started, even one that ignores SIGTERM.
    void terminateKillsTheWholeGroup()
    {
        platform::QtProcessLauncher launcher;
        std::unique_ptr<platform::ChildProcess> encoder = launcher.create();
        QByteArray output;
        std::optional<platform::ProcessExit> exit;
        connect(encoder.get(), &platform::ChildProcess::output, this,
                [&](const QByteArray &bytes) { output += bytes; });
        connect(encoder.get(), &platform::ChildProcess::exited, this, [&](platform::ProcessExit e) { exit = e; });
        encoder->launch(FakeEncoder, {"ignore-term", "pid", "child", "sleep:60000"});
        QTRY_VERIFY_WITH_TIMEOUT(pidAfter(output, "child") != 0, 10000);
        const qint64 child = pidAfter(output, "child");
        QVERIFY(processAlive(child));
        encoder->terminate();
        QTRY_VERIFY_WITH_TIMEOUT(exit.has_value(), 5000);
        QVERIFY(exit->crashed);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(child), 5000);
    }

    // What an encoder that exited left in its group goes with it.
    void whatALeaderLeftDiesWithIt()
    {
        Reads reads;
        const auto outcome = run(QStringLiteral("sh"), {"-c", "sleep 60 > /dev/null & echo child=$!"}, reads);
        QVERIFY(outcome.started);
        const qint64 child = pidAfter(reads.all(), "child");
        QVERIFY(child > 0);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(child), 5000);
    }

    // Once an ended encoder's group is empty, its number may go to any process, which nothing
    // done with the ended encoder may then reach.
    void anEndedGroupsNumberIsLeftAlone()
    {
        platform::QtProcessLauncher launcher;
        std::unique_ptr<platform::ChildProcess> encoder = launcher.create();
        QSignalSpy exited(encoder.get(), &platform::ChildProcess::exited);
        encoder->launch(FakeEncoder, {"exit:0"});
        QTRY_COMPARE_WITH_TIMEOUT(exited.size(), 1, 10000);
        const qint64 number = encoder->processId();
        // Another program's process takes the number, leading a group of its own as ours do.
        QProcess other;
        platform::confineChildProcess(other, platform::ProcessGroup::Own);
        for (int attempt = 0; attempt < 20 && other.processId() != number; ++attempt) {
            other.kill();
            other.waitForFinished();
            QFile lastNumber(QStringLiteral("/proc/sys/kernel/ns_last_pid"));
            if (!lastNumber.open(QIODevice::WriteOnly) || lastNumber.write(QByteArray::number(number - 1)) < 0)
                QSKIP("choosing the next process number needs CAP_SYS_ADMIN");
            lastNumber.close();
            other.start(FakeEncoder, {"sleep-forever"});
            QVERIFY(other.waitForStarted());
        }
        if (other.processId() != number)
            QSKIP("other processes kept taking the number");
        encoder->hold();
        encoder->resume();
        encoder->terminate();
        encoder.reset();
        // A signal is pending, or taken, once kill returns.
        QVERIFY(processAlive(number));
        QVERIFY(processstat::state(number) != 'T');
        QCOMPARE(processstat::pendingSignals(number), QByteArray("0000000000000000"));
        other.kill();
        QVERIFY(other.waitForFinished());
    }

    // The priority reaches every thread of the child and of what it starts; hold stops them all
    // and resume lets them go on; a held child still dies when terminated.
    void priorityAndHold_data()
    {
        QTest::addColumn<platform::ProcessPriority>("priority");
        QTest::addColumn<qint64>("nice");
        QTest::addColumn<qint64>("policy");
        QTest::newRow("low") << platform::ProcessPriority::Low << qint64(10) << qint64(0);
        QTest::newRow("idle") << platform::ProcessPriority::Idle << qint64(19) << processstat::IdlePolicy;
    }
    void priorityAndHold()
    {
        QFETCH(platform::ProcessPriority, priority);
        QFETCH(qint64, nice);
        QFETCH(qint64, policy);
        platform::QtProcessLauncher launcher;
        std::unique_ptr<platform::ChildProcess> encoder = launcher.create();
        QByteArray output;
        connect(encoder.get(), &platform::ChildProcess::output, this,
                [&](const QByteArray &bytes) { output += bytes; });
        encoder->setPriority(priority);
        encoder->launch(FakeEncoder, {"pid", "child", "sleep:60000"});
        QTRY_VERIFY_WITH_TIMEOUT(pidAfter(output, "child") != 0, 10000);
        const QList<qint64> group{pidAfter(output, "pid"), pidAfter(output, "child")};
        for (const qint64 pid : group) {
            for (const qint64 threadNice : processstat::threadFields(pid, processstat::NiceField))
                QCOMPARE(threadNice, nice);
            for (const qint64 threadPolicy : processstat::threadFields(pid, processstat::PolicyField))
                QCOMPARE(threadPolicy, policy);
        }
        const auto allIn = [&group](char state) {
            return std::all_of(group.cbegin(), group.cend(),
                               [state](qint64 pid) { return (processstat::state(pid) == 'T') == (state == 'T'); });
        };
        encoder->hold();
        QTRY_VERIFY_WITH_TIMEOUT(allIn('T'), 5000);
        encoder->resume();
        QTRY_VERIFY_WITH_TIMEOUT(allIn('S'), 5000);
        encoder->hold();
        QTRY_VERIFY_WITH_TIMEOUT(allIn('T'), 5000);
        encoder->terminate();
        for (const qint64 pid : group)
            QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 5000);
    }

    // The program exits only once its children's groups are empty: what a leader that ended left
    // is given its time, then killed.
    void groupsEndBeforeTheProgram()
    {
        platform::QtProcessLauncher launcher;
        const auto leader = launcher.create();
        QVERIFY(leader->start("sh", {"-c", "sleep 60 > /dev/null & echo child=$!"}));
        QByteArray output;
        while (pidAfter(output, "child") == 0) {
            const auto read = leader->read(64, QDeadlineTimer(10000));
            QVERIFY(read && !read->isEmpty());
            output += *read;
        }
        QVERIFY(leader->waitForExit(QDeadlineTimer(10000)));
        const qint64 child = pidAfter(output, "child");
        QVERIFY(processAlive(child));
        QVERIFY(platform::endProcessGroups(50));
        QVERIFY(!processAlive(child));
        QVERIFY(platform::endProcessGroups(0));
    }

    // Killing us must not leave an orphan encoder, nor its children.
    void childrenDieWithTheirParent()
    {
        QProcess parent;
        parent.start(QStringLiteral(VELKOR_TEST_BIN_DIR "/spawn_and_wait"),
                     {FakeEncoder, "pid", "child", "sleep:60000"});
        QVERIFY(parent.waitForStarted());
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += parent.readAll(), pidAfter(output, "child") != 0), 10000);
        const qint64 encoder = pidAfter(output, "pid");
        const qint64 grandchild = pidAfter(output, "child");
        QVERIFY(processAlive(encoder));
        QVERIFY(processAlive(grandchild));
        parent.kill();
        QVERIFY(parent.waitForFinished());
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(encoder), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(grandchild), 5000);
    }

    // Paths reach the encoder as one argument each, whatever they hold, also from a program
    // directory with a blank and an accent in its name.
    void pathsReachTheEncoderWhole()
    {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/program dir ü-XXXXXX"));
        const QString encoderPath = dir.filePath(QStringLiteral("wmaspi.dll"));
        QVERIFY(QFile::copy(FakeEncoder, encoderPath));
        const QString input = QStringLiteral("/videos/-my \"best\" clip é.avi");
        const QString output = QStringLiteral("-out 'x' \"y\".3gp");
        const auto line =
            conversion::conversionCommandLine(input, QStringLiteral(" -s 176x144 -vf \"scale=1:2\""), output);
        qputenv("FAKE_ENCODER_SCRIPT", "args");
        Reads reads;
        const auto outcome = run(encoderPath, line.arguments, reads);
        qunsetenv("FAKE_ENCODER_SCRIPT");
        QVERIFY(outcome.started);
        QStringList received;
        for (const QString &text : QString::fromUtf8(reads.all()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            received << text.mid(4);
        const QStringList expected{"-y", "-i", input, "-s", "176x144", "-vf", "scale=1:2", output};
        QCOMPARE(received, expected);
        QCOMPARE(line.text, QStringLiteral(" -y -i \"") + input + QStringLiteral("\" -s 176x144 -vf \"scale=1:2\" \"") +
                                output + QLatin1Char('"'));
    }
};

std::unique_ptr<QObject> makeChildProcessTest()
{
    return std::make_unique<ChildProcessTest>();
}

#include "tst_childprocess.moc"
