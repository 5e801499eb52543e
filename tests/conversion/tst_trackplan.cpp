// The track switches a run gives the encoder, with what the probe found, and what the encoder says
// back of each track.
#include "conversion/batchjob.h"
#include "core/runsetup/runplan.h"
#include "core/tasks/taskstore.h"

#include <QTemporaryDir>
#include <QTest>

using namespace batchjob;

namespace {

tasks::Task taskOf(const QString &input, const QString &audio, const QString &subtitle)
{
    ltvItemData record;
    record.InputFile = input;
    record.NewName = QFileInfo(input).completeBaseName();
    record.OutputExt = QStringLiteral(".3gp");
    record.LengthSec = record.SpanSec = 60;
    tasks::Task task(record);
    task.audioChoice = audio;
    task.subtitleChoice = subtitle;
    return task;
}

// The value after the switch, or a null string when the switch is not there once.
QString valueOf(const QStringList &arguments, const QString &name)
{
    const qsizetype at = arguments.indexOf(name);
    if (at < 0 || arguments.count(name) != 1)
        return {};
    return arguments.value(at + 1);
}

} // namespace

class TrackPlanTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_output;

private slots:
    // Languages for the run, picks per task; values stay single arguments, paths whole, and a
    // pick that is no index, "all" or "none" never reaches the encoder.
    void switchesOfTheRunAndItsTasks()
    {
        tasks::TaskRecords store;
        store.append(taskOf("/v/a clip.avi", "2", "none"));
        store.append(taskOf("/v/-b \"q\" é.avi", "1 -map 0:0", "all"));
        tasks::Task probed = taskOf("/v/c.avi", "", "none -y");
        probed.sourceFacts = "eyJ2ZXJzaW9uIjox_-";
        store.append(probed);
        const BatchPlan plan = runsetup::planFor(FakeEncoder, store, {}, m_output.path(), {}, {" GER, eng", "fre"});
        QVERIFY2(plan.parameters.endsWith(" -audio-langs ger,eng -subtitle-langs fre"), qPrintable(plan.parameters));
        QCOMPARE(plan.taskOptions, (QStringList{" -audio-track 2 -subtitle-track none", " -subtitle-track all",
                                                " -source-facts eyJ2ZXJzaW9uIjox_-"}));
        QVERIFY(!runsetup::planFor(FakeEncoder, store, {}, m_output.path(), {}, {"", "english"})
                     .parameters.contains("-langs"));

        platform::FakeProcessLauncher launcher;
        launcher.responder = [](const FakeStart &start) { return writingRun(start); };
        BatchRun run(launcher);
        Watch watch(run);
        QVERIFY(run.start(plan));
        QVERIFY(watch.waitForEnd());
        QCOMPARE(launcher.starts.size(), 3);
        const QStringList first = launcher.starts.at(0).arguments;
        QCOMPARE(first.mid(0, 3), (QStringList{"-y", "-i", "/v/a clip.avi"}));
        QCOMPARE(valueOf(first, "-audio-langs"), "ger,eng");
        QCOMPARE(valueOf(first, "-subtitle-langs"), "fre");
        QCOMPARE(valueOf(first, "-audio-track"), "2");
        QCOMPARE(valueOf(first, "-subtitle-track"), "none");
        const QStringList second = launcher.starts.at(1).arguments;
        QCOMPARE(second.at(2), "/v/-b \"q\" é.avi");
        QVERIFY(!second.contains("-map") && !second.contains("-audio-track"));
        QCOMPARE(valueOf(second, "-subtitle-track"), "all");
        const QStringList third = launcher.starts.at(2).arguments;
        QVERIFY(!third.contains("-audio-track") && !third.contains("-subtitle-track"));
        QCOMPARE(valueOf(third, "-source-facts"), "eyJ2ZXJzaW9uIjox_-");
        QVERIFY(!first.contains("-source-facts"));
        QCOMPARE(third.count("-y"), 1);
    }

    // Every track line is taken, wherever the reads cut it, and the log's end need not hold it.
    void trackLinesGoWithTheTaskEnd()
    {
        platform::FakeProcessLauncher launcher;
        launcher.responder = [](const FakeStart &start) {
            FakeRun fake = writingRun(start);
            fake.reads = QList<QByteArray>{"kept: 0: MPEG-4\r\nleft o",
                                           "ut: 1: French AC-3 5.1, by Audio Tracks = Preferred language\n"
                                           "burned in: 3: English SubRip (forced)\nkept: 2: English AC-3 5.",
                                           "1\nleft out: \nbanner\n"} +
                         fake.reads + QList<QByteArray>{QByteArray(16 * 1024, 'x') + "\n"};
            return fake;
        };
        BatchRun run(launcher);
        QList<TrackReport> reports;
        connect(&run, &BatchRun::taskEnded, this,
                [&reports](int, TaskStatus, const QString &, const TrackReport &tracks) { reports << tracks; });
        Watch watch(run);
        QVERIFY(run.start(planFor({"/v/a.avi", "/v/b.avi"}, m_output.path())));
        QVERIFY(watch.waitForEnd());
        QCOMPARE(watch.events, (QStringList{"start 0", "Complete 0", "start 1", "Complete 1"}));
        TrackReport expected;
        expected.kept = QStringList{"0: MPEG-4", "2: English AC-3 5.1"};
        expected.burnedIn = QStringList{"3: English SubRip (forced)"};
        expected.leftOut = QStringList{"1: French AC-3 5.1, by Audio Tracks = Preferred language"};
        QCOMPARE(reports.size(), 2);
        QCOMPARE(reports.at(0), expected);
        QCOMPARE(reports.at(1), expected);
    }
};

std::unique_ptr<QObject> makeTrackPlanTest()
{
    return std::make_unique<TrackPlanTest>();
}

#include "tst_trackplan.moc"
