// A run that watches the room left for its files: it pauses, or fails what is left, before a
// full disk cuts a file off.
#include "conversion/batchjob.h"
#include "core/conversion/spaceneed.h"
#include "core/platform/fakes/fakefreespace.h"
#include "core/protocol/qtpartialoutput.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace batchjob;

namespace {
constexpr qint64 MB = 1000 * 1000;
} // namespace

class LowSpaceTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_output;

private slots:
    void projectedSizes_data()
    {
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<qint64>("bytes");
        QTest::newRow("rates") << " -b:v 1000k -b:a 128k" << 60.0 << qint64(1128000 / 8 * 60);
        QTest::newRow("ceiling over an earlier rate") << " -b:v 1M -video-ceiling 2M -b:a 0" << 8.0 << 2 * MB;
        QTest::newRow("target size, half its span") << " -fit 16M -b:v 9M" << 30.0 << 8 * MB;
        QTest::newRow("no rate given") << " -vcodec libx264" << 1.0 << qint64((8e6 + 320e3) / 8);
    }
    void projectedSizes()
    {
        QFETCH(QString, parameters);
        QFETCH(double, seconds);
        QFETCH(qint64, bytes);
        QCOMPARE(conversion::projectedOutputBytes(parameters, seconds, 60), bytes);
        QCOMPARE(conversion::lowSpaceText(300 * MB + 400, "/media/phone"), "Paused: 300 MB left on /media/phone");
    }

    // Before a task starts: a run with room converts all, one without pauses, says where and
    // starts nothing until resumed with room.
    void pausesBeforeATaskWithoutRoom_data()
    {
        QTest::addColumn<qint64>("freeBytes");
        QTest::addColumn<bool>("pauses");
        // A minute at 1.128 Mb/s is 8.46 MB, plus 5 % and 50 MB.
        QTest::newRow("enough") << 59 * MB << false;
        QTest::newRow("short") << 58 * MB << true;
    }
    void pausesBeforeATaskWithoutRoom()
    {
        QFETCH(qint64, freeBytes);
        QFETCH(bool, pauses);
        platform::FakeProcessLauncher launcher;
        launcher.responder = [](const FakeStart &start) { return writingRun(start); };
        platform::FakeFreeSpace space;
        space.freeBytes[m_output.path()] = freeBytes;
        BatchRun run(launcher, space);
        Watch watch(run);
        QSignalSpy low(&run, &BatchRun::lowSpace);
        BatchPlan plan = planFor({"/v/a.avi"}, m_output.path());
        plan.parameters = " -b:v 1000k -b:a 128k";
        QVERIFY(run.start(plan));
        if (!pauses) {
            QVERIFY(watch.waitForEnd());
            QCOMPARE(low.size(), 0);
            return;
        }
        QTRY_VERIFY(run.isPaused());
        QVERIFY(run.pausedForSpace());
        QCOMPARE(low.first(), (QVariantList{freeBytes, m_output.path()}));
        QVERIFY(launcher.starts.isEmpty());
        // Resumed still short, it pauses again; with room it goes on.
        run.resume();
        QTRY_VERIFY(run.isPaused());
        QCOMPARE(low.size(), 2);
        space.freeBytes[m_output.path()] = 1000 * MB;
        run.resume();
        QVERIFY(watch.waitForEnd());
        QCOMPARE(watch.events, (QStringList{"start 0", "Complete 0"}));
    }

    // While converting, a disk that fills up holds the encoder; a run told to go on by itself
    // does so once there is room again. The pass log's folder counts for a Target Size.
    void pausesMidTaskAndResumesWithRoom()
    {
        platform::FakeProcessLauncher launcher;
        launcher.responder = [](const FakeStart &start) { return writingRun(start, true); };
        platform::FakeFreeSpace space;
        BatchRun run(launcher, space);
        BatchPlan plan = planFor({"/v/a.avi"}, m_output.path());
        plan.parameters = " -fit 1M";
        plan.spaceCheckMs = 10;
        plan.resumeWhenSpaceReturns = true;
        QSignalSpy low(&run, &BatchRun::lowSpace);
        QVERIFY(run.start(plan));
        QTRY_COMPARE(launcher.starts.size(), 1);
        space.freeBytes[QDir::tempPath()] = 10 * MB;
        QTRY_VERIFY(run.isPaused());
        QCOMPARE(launcher.held, 1);
        QCOMPARE(low.first().at(1).toString(), QDir::tempPath());
        space.freeBytes.clear();
        QTRY_VERIFY(!run.isPaused());
        QCOMPARE(launcher.held, 0);
        run.stop();
    }

    // Told to fail instead: the running task is stopped, its partial file removed, and it
    // fails with the tasks left, saying why.
    void failsWhatIsLeft()
    {
        platform::FakeProcessLauncher launcher;
        launcher.responder = [](const FakeStart &start) {
            FakeRun fake = writingRun(start, true);
            const QString partial = protocol::partialOutputPath(start.arguments.last());
            fake.onStart = [partial] {
                QFile file(partial);
                QVERIFY(file.open(QIODevice::WriteOnly));
            };
            return fake;
        };
        platform::FakeFreeSpace space;
        const QTemporaryDir output;
        BatchRun run(launcher, space);
        Watch watch(run);
        BatchPlan plan = planFor({"/v/a.avi", "/v/b.avi", "/v/c.avi"}, output.path());
        plan.spaceCheckMs = 10;
        plan.failOnLowSpace = true;
        QVERIFY(run.start(plan));
        QTRY_COMPARE(fileNames(output.path()).size(), 1);
        space.freeBytes[output.path()] = 20 * MB;
        QVERIFY(watch.waitForEnd());
        QCOMPARE(watch.events.join(","), "start 0,Failed 0,Failed 1,Failed 2");
        QVERIFY(watch.logs.last().contains("Too little room: 20 MB left on " + output.path()));
        QCOMPARE(watch.ends.first().failed, 3);
        QVERIFY(fileNames(output.path()).isEmpty());
    }
};

std::unique_ptr<QObject> makeLowSpaceTest()
{
    return std::make_unique<LowSpaceTest>();
}

#include "tst_lowspace.moc"
