#include "conversion/batchjob.h"
#include "core/conversion/batchrun.h"
#include "core/platform/fakes/fakechildprocess.h"
#include "core/platform/qtchildprocess.h"
#include "helpers/processalive.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace batchjob;

namespace {
using testprocess::processAlive;
} // namespace

class BatchJobTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_output;

private slots:
    // One run at a time; a Stop between two tasks ends the run before the next encoder starts.
    void aSecondStartIsRefusedAndStopActsBetweenTasks()
    {
        platform::FakeProcessLauncher launcher;
        BatchRun run(launcher);
        Watch watch(run);
        connect(&run, &BatchRun::taskEnded, &run, [&run](int row) {
            if (row == 0)
                run.stop();
        });
        QVERIFY(run.start(planFor({"/v/a.avi", "/v/b.avi", "/v/c.avi"}, m_output.path())));
        QVERIFY(!run.start(planFor({"/v/x.avi"}, m_output.path())));
        QCOMPARE(run.state(), RunState::Converting);
        QVERIFY(watch.waitForEnd());
        QCOMPARE(watch.events, (QStringList{"start 0", "Failed 0", "Stop 1"}));
        QCOMPARE(watch.ends.first().end, RunEnd::Cancelled);
        QCOMPARE(launcher.starts.size(), 1);
        QVERIFY(run.isIdle());
    }

    // Stop kills a silent encoder and what it started at once; the run ends cancelled.
    void stopKillsASilentEncoderAndItsChild()
    {
        platform::QtProcessLauncher launcher;
        BatchRun run(launcher);
        Watch watch(run);
        qputenv("FAKE_ENCODER_SCRIPT", "child|sleep:60000");
        QVERIFY(run.start(planFor({"/v/a.avi"}, m_output.path())));
        QTimer::singleShot(1000, &run, &BatchRun::stop);
        QVERIFY(watch.waitForEnd());
        qunsetenv("FAKE_ENCODER_SCRIPT");
        QCOMPARE(watch.events, (QStringList{"start 0", "Stop 0"}));
        const qint64 child = QRegularExpression("child=(\\d+)").match(watch.logs.first()).captured(1).toLongLong();
        QVERIFY2(child > 0, qPrintable(watch.logs.first()));
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(child), 5000);
    }

    void anEncoderThatCannotStart()
    {
        platform::QtProcessLauncher launcher;
        BatchRun run(launcher);
        Watch watch(run);
        QVERIFY(run.start(planFor({"/v/a.avi", "/v/b.avi"}, m_output.path(), "/nonexistent/wmaspi.dll")));
        QVERIFY(watch.waitForEnd());
        QCOMPARE(watch.events, (QStringList{"start 0", "Failed 0"}));
        QCOMPARE(watch.ends.first().end, RunEnd::StartFailed);
        QVERIFY(watch.ends.first().reason.contains("/nonexistent/wmaspi.dll"));
        QCOMPARE(watch.logs.first(), watch.ends.first().reason);
        QVERIFY(run.isIdle());
    }

    // A run thrown away mid-task takes its encoder with it and says nothing more.
    void destroyedMidRun()
    {
        platform::QtProcessLauncher launcher;
        auto run = std::make_unique<BatchRun>(launcher);
        Watch watch(*run);
        QString partial;
        connect(run.get(), &BatchRun::taskStarted, this, [&partial](int, const QString &output) {
            partial = output + ".part";
            QFile(partial).open(QIODevice::WriteOnly);
        });
        qputenv("FAKE_ENCODER_SCRIPT", "sleep:60000");
        QVERIFY(run->start(planFor({"/v/a.avi"}, m_output.path())));
        QTRY_COMPARE(watch.events, QStringList{"start 0"});
        qunsetenv("FAKE_ENCODER_SCRIPT");
        QElapsedTimer clock;
        clock.start();
        run.reset();
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(!QFile::exists(partial));
        QTest::qWait(50);
        QVERIFY(watch.ends.isEmpty());
    }

    // Progress is read by lines: a read that ends inside a number loses nothing, and the banner's
    // two lines are never taken for progress.
    void progressLinesCutAnywhere()
    {
        platform::FakeProcessLauncher launcher;
        launcher.responder = [](const FakeStart &start) {
            FakeRun fake = writingRun(start);
            fake.reads = {"time=59.0 banner\ntime=59.0 ban", "ner\rtime=1", "5.0 speed=1x\r", "time=3", "0.0 \n"};
            return fake;
        };
        BatchRun run(launcher);
        Watch watch(run);
        QList<int> percents;
        connect(&run, &BatchRun::taskProgressed, &run, [&](int, int percent) { percents << percent; });
        QVERIFY(run.start(planFor({"/v/a.avi"}, m_output.path())));
        QVERIFY(watch.waitForEnd());
        QCOMPARE(percents, (QList<int>{25, 50}));
    }

    // A Stop that finds the encoders' work done stops nothing: a task whose encoder had exited 0
    // is Complete, and a run whose every task is done completes.
    void aStopThatComesTooLate_data()
    {
        QTest::addColumn<bool>("beforeTheExitArrives");
        QTest::newRow("before the last exit arrives") << true;
        QTest::newRow("after the last exit") << false;
    }

    void aStopThatComesTooLate()
    {
        QFETCH(bool, beforeTheExitArrives);
        platform::FakeProcessLauncher launcher;
        launcher.responder = [](const FakeStart &start) {
            FakeRun fake = writingRun(start);
            fake.finishedBeforeTerminate = true;
            return fake;
        };
        BatchRun run(launcher);
        Watch watch(run);
        if (beforeTheExitArrives)
            connect(&run, &BatchRun::taskProgressed, &run, [&run](int row, int percent) {
                if (row == 1 && percent == 100)
                    run.stop();
            });
        else
            connect(&run, &BatchRun::taskEnded, &run, [&run](int row) {
                if (row == 1)
                    run.stop();
            });
        BatchPlan plan = planFor({"/v/a.avi", "/v/b.avi"}, m_output.path());
        plan.jobs = 2;
        QVERIFY(run.start(plan));
        QVERIFY(watch.waitForEnd());
        QCOMPARE(watch.events, (QStringList{"start 0", "start 1", "Complete 0", "Complete 1"}));
        QCOMPARE(watch.ends.first().end, RunEnd::Completed);
    }

    // An encoder that stays silent and writes nothing past the limit is killed; its task fails
    // saying so, and the batch goes on.
    void aStalledEncoderFails()
    {
        platform::FakeProcessLauncher launcher;
        launcher.responder = [](const FakeStart &start) {
            return writingRun(start, start.arguments.contains("/v/a.avi"));
        };
        BatchRun run(launcher);
        Watch watch(run);
        BatchPlan plan = planFor({"/v/a.avi", "/v/b.avi"}, m_output.path());
        plan.stallLimitMs = 300;
        QVERIFY(run.start(plan));
        QVERIFY(watch.waitForEnd());
        QCOMPARE(watch.events, (QStringList{"start 0", "Failed 0", "start 1", "Complete 1"}));
        QVERIFY2(watch.logs.first().endsWith("FFmpeg made no progress for 1 second"), qPrintable(watch.logs.first()));
        QCOMPARE(watch.ends.first().end, RunEnd::Completed);
    }

    // A held encoder is no stall, however long it is held, and no task starts while the run is
    // held; let go, the run goes on where it was, at the priority of its plan.
    void aHeldRunIsNoStall()
    {
        platform::FakeProcessLauncher launcher;
        launcher.responder = [](const FakeStart &start) { return writingRun(start); };
        BatchRun run(launcher);
        Watch watch(run);
        connect(&run, &BatchRun::taskStarted, &run, [&run](int row) {
            if (row == 0)
                run.pause();
        });
        BatchPlan plan = planFor({"/v/a.avi", "/v/b.avi"}, m_output.path());
        plan.stallLimitMs = 100;
        plan.jobs = 2;
        plan.priority = platform::ProcessPriority::Idle;
        QVERIFY(run.start(plan));
        QElapsedTimer held;
        held.start();
        QTRY_VERIFY(held.elapsed() > 4 * plan.stallLimitMs);
        QCOMPARE(watch.events, QStringList{"start 0"});
        QCOMPARE(launcher.held, 1);
        QCOMPARE(run.state(), RunState::Paused);
        run.resume();
        QVERIFY(watch.waitForEnd());
        QCOMPARE(watch.events, (QStringList{"start 0", "start 1", "Complete 0", "Complete 1"}));
        QCOMPARE(launcher.held, 0);
        QCOMPARE(launcher.priority, platform::ProcessPriority::Idle);
    }

    // The verdict on each conversion, and the progress examined from the third read on.
    void verdicts_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("crashed");
        QTest::addColumn<bool>("writesOutput");
        QTest::addColumn<QString>("status");
        QTest::newRow("converted") << 0 << false << true << "Complete";
        QTest::newRow("no output") << 0 << false << false << "Failed";
        QTest::newRow("kept short") << 3 << false << true << "Incomplete";
        QTest::newRow("short, nothing kept") << 3 << false << false << "Failed";
        QTest::newRow("error") << 1 << false << true << "Failed";
        QTest::newRow("crash") << 0 << true << true << "Failed";
    }

    void verdicts()
    {
        QFETCH(int, exitCode);
        QFETCH(bool, crashed);
        QFETCH(bool, writesOutput);
        QTemporaryDir output;
        platform::FakeProcessLauncher launcher;
        launcher.responder = [&](const FakeStart &start) {
            FakeRun fake;
            fake.reads = {"time=50.0 \n", "time=55.0 \n", "time=15.0 \n", "time=30.0 \n"};
            fake.exit = {crashed, exitCode};
            const QString path = start.arguments.last();
            if (writesOutput) {
                fake.onStart = [path] {
                    QFile file(path);
                    file.open(QIODevice::WriteOnly);
                    file.write("x");
                };
            }
            return fake;
        };
        BatchRun run(launcher);
        Watch watch(run);
        QList<int> bars;
        connect(&run, &BatchRun::progressed, &run, [&bars](int current) { bars << current; });
        QVERIFY(run.start(planFor({"/v/a.avi"}, output.path())));
        QVERIFY(watch.waitForEnd());
        QFETCH(QString, status);
        QCOMPARE(watch.events.last(), status + " 0");
        QCOMPARE(bars, (QList<int>{25, 50}));
    }
};

std::unique_ptr<QObject> makeBatchJobTest()
{
    return std::make_unique<BatchJobTest>();
}

#include "tst_batchjob.moc"
