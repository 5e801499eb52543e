// One run converting several of its tasks at once: their order, progress, stop and failures.
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

class SimultaneousTasksTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_output;

private slots:
    // Tasks start in list order, as many at once as the plan says, and end where they are; the
    // names they write are those one task after another writes.
    void simultaneousTasks_data()
    {
        QTest::addColumn<bool>("rename");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("outputs");
        // b and c share a name: c takes the next index at once, with Overwrite too, which is for
        // files that were there before the run, never for one of its own.
        QTest::newRow("rename") << true << QStringList{"start 0",    "start 1",    "start 2",
                                                       "Complete 0", "Complete 1", "Complete 2"}
                                << QStringList{"a.3gp", "b.3gp", "b_3.3gp"};
        QTest::newRow("overwrite") << false << QStringList{"start 0",    "start 1",    "start 2",
                                                           "Complete 0", "Complete 1", "Complete 2"}
                                   << QStringList{"a.3gp", "b.3gp", "b_3.3gp"};
    }

    void simultaneousTasks()
    {
        QFETCH(bool, rename);
        QTemporaryDir output;
        platform::FakeProcessLauncher launcher;
        launcher.responder = [](const FakeStart &start) { return writingRun(start); };
        BatchRun run(launcher);
        Watch watch(run);
        QList<QList<int>> running;
        connect(&run, &BatchRun::taskStarted, &run, [&] { running << run.runningRows(); });
        BatchPlan plan = planFor({"/v/a.avi", "/v/b.avi", "/w/b.mkv"}, output.path());
        plan.renameExisting = rename;
        plan.jobs = 3;
        QVERIFY(run.start(plan));
        QVERIFY(watch.waitForEnd());
        QTEST(watch.events, "events");
        QTEST(fileNames(output.path()), "outputs");
        QCOMPARE(running.value(1), (QList<int>{0, 1}));
        QCOMPARE(watch.ends.first().end, RunEnd::Completed);
        QCOMPARE(watch.ends.first().failed, 0);
    }

    // Each running task reports its own share; the total bar counts them all, the current bar the
    // earliest.
    void progressOfSimultaneousTasks()
    {
        QTemporaryDir output;
        platform::FakeProcessLauncher launcher;
        launcher.responder = [](const FakeStart &start) { return writingRun(start, true); };
        BatchRun run(launcher);
        Watch watch(run);
        QHash<int, int> percents;
        connect(&run, &BatchRun::taskProgressed, &run, [&](int row, int percent) { percents[row] = percent; });
        BatchPlan plan = planFor({"/v/a.avi", "/v/b.avi", "/v/c.avi", "/v/d.avi"}, output.path());
        plan.jobs = 2;
        QVERIFY(run.start(plan));
        QTRY_COMPARE(percents, (QHash<int, int>{{0, 100}, {1, 100}}));
        QCOMPARE(run.bars().current, 100);
        QCOMPARE(run.bars().total, 50);
        QCOMPARE(run.runningRows(), (QList<int>{0, 1}));
        run.stop();
        QVERIFY(watch.waitForEnd());
        QCOMPARE(watch.events, (QStringList{"start 0", "start 1", "Stop 0", "Stop 1"}));
        QCOMPARE(watch.ends.first().end, RunEnd::Cancelled);
        QCOMPARE(launcher.starts.size(), 2);
    }

    // Stop kills every running encoder with its children, and none of their partial files stays.
    void stopEndsEverySimultaneousTask()
    {
        QTemporaryDir output;
        platform::QtProcessLauncher launcher;
        BatchRun run(launcher);
        Watch watch(run);
        qputenv("FAKE_ENCODER_SCRIPT", "child|sleep:60000");
        BatchPlan plan = planFor({"/v/a.avi", "/v/b.avi", "/v/c.avi"}, output.path());
        plan.jobs = 2;
        QVERIFY(run.start(plan));
        QTRY_COMPARE(watch.events.size(), 2);
        for (const char *name : {"a.3gp.part", "b.3gp.part"}) {
            QFile partial(output.filePath(name));
            QVERIFY(partial.open(QIODevice::WriteOnly));
        }
        QTest::qWait(500);
        run.stop();
        QVERIFY(watch.waitForEnd());
        qunsetenv("FAKE_ENCODER_SCRIPT");
        // The two killed encoders end in either order.
        QStringList ends = watch.events.mid(2);
        ends.sort();
        QCOMPARE(watch.events.mid(0, 2), (QStringList{"start 0", "start 1"}));
        QCOMPARE(ends, (QStringList{"Stop 0", "Stop 1"}));
        QVERIFY(fileNames(output.path()).isEmpty());
        for (const QString &log : watch.logs) {
            const qint64 child = QRegularExpression("child=(\\d+)").match(log).captured(1).toLongLong();
            QVERIFY2(child > 0, qPrintable(log));
            QTRY_VERIFY_WITH_TIMEOUT(!processAlive(child), 5000);
        }
    }

    // The encoder cannot start for any task: the run ends at once with the reason, nothing left running.
    void simultaneousStartFailure()
    {
        platform::QtProcessLauncher launcher;
        BatchRun run(launcher);
        Watch watch(run);
        BatchPlan plan = planFor({"/v/a.avi", "/v/b.avi", "/v/c.avi"}, m_output.path(), "/nonexistent/wmaspi.dll");
        plan.jobs = 2;
        QVERIFY(run.start(plan));
        QVERIFY(watch.waitForEnd());
        QCOMPARE(watch.ends.size(), 1);
        QCOMPARE(watch.ends.first().end, RunEnd::StartFailed);
        QVERIFY(watch.events.contains("Failed 0"));
        QVERIFY(!watch.events.contains("start 2"));
        QVERIFY(run.runningRows().isEmpty());
        QTest::qWait(50);
        QCOMPARE(watch.ends.size(), 1);
    }
};

std::unique_ptr<QObject> makeSimultaneousTasksTest()
{
    return std::make_unique<SimultaneousTasksTest>();
}

#include "tst_simultaneoustasks.moc"
