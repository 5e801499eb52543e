#include "core/conversion/encodercommand.h"
#include "core/conversion/outputnames.h"
#include "core/conversion/progresstime.h"
#include "core/conversion/statustexts.h"
#include "core/tasks/timetext.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>

using namespace conversion;

namespace {
ltvItemData task(const QString &input, const QString &newName, const QString &outputExt)
{
    ltvItemData record;
    record.InputFile = input;
    record.NewName = newName;
    record.OutputExt = outputExt;
    return record;
}

void touch(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("x");
}
} // namespace

class BatchRulesTest : public QObject {
    Q_OBJECT

private slots:
    // The output never lands on the input, however the two are spelled.
    void outputPath()
    {
        QTemporaryDir dir;
        const QString d = dir.path();
        touch(d + "/clip.3gp");
        touch(d + "/in.mp4");
        QFile::link(d + "/in.mp4", d + "/link.mp4");
        QDir().mkdir(d + "/sub");

        QCOMPARE(outputPathFor(d, task("/v/new.avi", "new", ".3gp"), 2, ".3gp", true), d + "/new.3gp");
        QCOMPARE(outputPathFor(d, task("/v/clip.avi", "clip", ".3gp"), 2, ".3gp", false), d + "/clip.3gp");
        QCOMPARE(outputPathFor(d, task("/v/clip.avi", "clip", ".mkv"), 2, ".3gp", true), d + "/clip_3.mkv");
        // Added before any profile: the indexed name still gets an extension.
        QCOMPARE(outputPathFor(d + "/", task("/v/clip.avi", "clip", ""), 0, ".3gp", true), d + "/clip_1.3gp");
        // The plain name is the input: indexed even when overwriting.
        QCOMPARE(outputPathFor(d, task(d + "/in.mp4", "in", ".mp4"), 0, ".mp4", false), d + "/in_1.mp4");
        QCOMPARE(outputPathFor(d + "/sub/..", task(d + "/in.mp4", "in", ".mp4"), 1, ".mp4", false),
                 d + "/sub/../in_2.mp4");
        QCOMPARE(outputPathFor(d, task(d + "/link.mp4", "in", ".mp4"), 0, ".mp4", false), d + "/in_1.mp4");
        // The indexed name itself is the input: the index counts on.
        touch(d + "/in_1.mp4");
        QCOMPARE(outputPathFor(d, task(d + "/in_1.mp4", "in", ".mp4"), 0, ".mp4", true), d + "/in_2.mp4");
        // Renaming never overwrites: taken indexed names are passed by; overwriting takes the first.
        touch(d + "/clip_3.3gp");
        touch(d + "/clip_4.3gp");
        QCOMPARE(outputPathFor(d, task("/v/clip.avi", "clip", ".3gp"), 2, ".3gp", true), d + "/clip_5.3gp");
        QCOMPARE(outputPathFor(d, task(d + "/clip.3gp", "clip", ".3gp"), 2, ".3gp", false), d + "/clip_3.3gp");
    }

    // A mirrored tree claims names within each folder: one name in two folders is no clash, and
    // within one folder a task is numbered by its place among that folder's tasks. Without
    // folders, as in the window's runs, the place is the row.
    void plannedOutputPath_data()
    {
        QTest::addColumn<QStringList>("subfolders"); // by task; every task is named "clip"
        QTest::addColumn<bool>("rename");
        QTest::addColumn<QStringList>("outputs"); // relative to the output folder
        QTest::newRow("no folders") << QStringList{} << true << QStringList{"clip.3gp", "clip_2.3gp", "clip_3.3gp"};
        QTest::newRow("a folder each") << QStringList{"", "a", "a/-b c"} << true
                                       << QStringList{"clip.3gp", "a/clip.3gp", "a/-b c/clip.3gp"};
        QTest::newRow("numbered within a folder")
            << QStringList{"a", "b", "a", "a"} << true
            << QStringList{"a/clip.3gp", "b/clip.3gp", "a/clip_2.3gp", "a/clip_3.3gp"};
        // Overwriting is for files that were there before: the run's own are never written twice.
        QTest::newRow("overwriting within a folder")
            << QStringList{"a", "a"} << false << QStringList{"a/clip.3gp", "a/clip_2.3gp"};
    }
    void plannedOutputPath()
    {
        QFETCH(QStringList, subfolders);
        QFETCH(bool, rename);
        QFETCH(QStringList, outputs);
        BatchPlan plan;
        plan.outputDirectory = "/out";
        plan.profileExtension = ".3gp";
        plan.outputSubfolders = subfolders;
        for (int row = 0; row < outputs.size(); ++row)
            plan.tasks << task(QStringLiteral("/in/%1/clip.avi").arg(row), "clip", ".3gp");
        // Every task runs at once: each claims its name before the next is named.
        QStringList claimed;
        for (int row = 0; row < outputs.size(); ++row)
            claimed << conversion::plannedOutputPath(plan, row, rename, claimed);
        QCOMPARE(claimed.replaceInStrings(QRegularExpression("^/out/"), QString()), outputs);
    }

    void trimOptions_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("span");
        QTest::addColumn<QString>("options");
        QTest::newRow("whole input") << "00:00:00.0"
                                     << "00:01:00"
                                     << "";
        QTest::newRow("moved start") << "00:00:10"
                                     << "00:00:50"
                                     << " -ss 00:00:10 -t 50";
        QTest::newRow("moved end") << "00:00:00.0"
                                   << "00:00:12.5"
                                   << " -t 12";
        QTest::newRow("half to even up") << "00:00:00.0"
                                         << "00:00:13.5"
                                         << " -t 14";
        QTest::newRow("no duration known") << "00:00:00.0"
                                           << ""
                                           << "";
    }
    void trimOptions()
    {
        QFETCH(QString, start);
        QFETCH(QString, span);
        ltvItemData record;
        record.SourceStartSec = 0;
        record.StartText = start;
        record.StartSec = tasks::TimeTextToSeconds(start);
        record.SpanSec = tasks::TimeTextToSeconds(span);
        record.LengthSec = span.isEmpty() ? -1 : 60;
        QTEST(conversion::trimOptions(record), "options");
    }

    void reportedPosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("position"); // -1: nothing read
        QTest::newRow("status line") << "frame=10 fps=0.0 size=1kB time=3.52 bitrate=1kbits/s speed=1x " << 3.52;
        QTest::newRow("first time counts") << "time=1.5 x\ntime=2.5 y" << 1.5;
        QTest::newRow("cut before the blank") << "time=1.2" << -1.0;
        QTest::newRow("no number") << "time=N/A bitrate=N/A " << -1.0;
        QTest::newRow("no time") << "12345 6789 " << -1.0;
    }
    void reportedPosition()
    {
        QFETCH(QString, text);
        QFETCH(double, position);
        const QByteArray line = text.toUtf8();
        const auto read = conversion::reportedPosition(std::string_view(line.constData(), std::size_t(line.size())));
        QCOMPARE(read.value_or(-1), position);
    }

    void progressBars()
    {
        ProgressBars bars = progressFor(5, 10, 0, 40, {});
        QCOMPARE(bars.current, 50);
        QCOMPARE(bars.total, 12); // 12.5 rounds to even
        bars = progressFor(15, 10, 30, 40, bars);
        QCOMPARE(bars.current, 100); // past the span
        QCOMPARE(bars.total, 100);
        bars = progressFor(3, 0, 0, 0, ProgressBars{7, 9});
        QCOMPARE(bars.current, 7);
        QCOMPARE(bars.total, 9);
        QCOMPARE(progressFor(3, -1, 0, -1, {}).current, 0); // no duration known
        // Spans summed from absurd durations: infinity over infinity leaves the bar alone.
        const double infinite = std::numeric_limits<double>::infinity();
        bars = progressFor(1e308, 10, infinite, infinite, ProgressBars{7, 9});
        QCOMPARE(bars.current, 100);
        QCOMPARE(bars.total, 9);
    }

    void remainingTime_data()
    {
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a quarter") << 60 << 25 << "00:03:00";
        QTest::newRow("three percent") << 7 << 3 << "00:03:46";
        QTest::newRow("nothing yet") << 12 << 0 << "00:00:00";
        QTest::newRow("done") << 300 << 100 << "00:00:00";
    }
    void remainingTime()
    {
        QFETCH(int, elapsed);
        QFETCH(int, percent);
        QTEST(tasks::SecondsToTimeText(remainingSeconds(elapsed, percent, 0)), "shown");
    }

    // What the window shows of the tasks converting now, one at a time and several at once.
    void convertingTexts()
    {
        QCOMPARE(convertingStatusText(1, 42), "Converting");
        QCOMPARE(convertingStatusText(2, 0), "Converting 0%");
        QCOMPARE(convertingStatusText(4, 100), "Converting 100%");
        QCOMPARE(convertingFilesText({"/v/one.avi"}, "before.avi"), "one.avi");
        QCOMPARE(convertingFilesText({"/v/a b.avi", "/w/-c.mkv", "d.avi"}, ""), "a b.avi, -c.mkv, d.avi");
        QCOMPARE(convertingFilesText({}, "last.avi"), "last.avi");
    }
};

std::unique_ptr<QObject> makeBatchRulesTest()
{
    return std::make_unique<BatchRulesTest>();
}

#include "tst_batchrules.moc"
