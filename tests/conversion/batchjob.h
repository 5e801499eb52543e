#pragma once

#include "core/conversion/batchrun.h"
#include "core/platform/fakes/fakechildprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

// Batch runs on a plan of their own, without a window, shared by the run's test files.
namespace batchjob {

using namespace conversion;
using platform::FakeRun;
using platform::FakeStart;

inline const QString FakeEncoder = QStringLiteral(VELKOR_TEST_BIN_DIR "/fake_encoder");

inline BatchPlan planFor(const QStringList &inputs, const QString &outputDirectory,
                         const QString &encoder = FakeEncoder)
{
    BatchPlan plan;
    plan.encoderPath = encoder;
    plan.outputDirectory = outputDirectory;
    plan.profileExtension = QStringLiteral(".3gp");
    for (const QString &input : inputs) {
        ltvItemData task;
        task.InputFile = input;
        task.NewName = QFileInfo(input).completeBaseName();
        task.OutputExt = plan.profileExtension;
        task.LengthSec = task.SpanSec = 60;
        plan.tasks << task;
    }
    return plan;
}

// What a run told, in the order it told it.
struct Watch {
    QStringList events;
    QList<RunSummary> ends;
    QStringList logs;

    explicit Watch(BatchRun &run)
    {
        QObject::connect(&run, &BatchRun::taskStarted,
                         [this](int row, const QString &) { events << QStringLiteral("start %1").arg(row); });
        QObject::connect(&run, &BatchRun::taskEnded, [this](int row, TaskStatus status, const QString &log) {
            events << QStringLiteral("%1 %2").arg(statusText(status)).arg(row);
            logs << log;
        });
        QObject::connect(&run, &BatchRun::runEnded, [this](const RunSummary &summary) { ends << summary; });
    }
    bool waitForEnd()
    {
        return QTest::qWaitFor([this] { return !ends.isEmpty(); }, 60000);
    }
};

// A conversion that reports half way and then all of its minute, and leaves its output.
inline FakeRun writingRun(const FakeStart &start, bool hangs = false)
{
    FakeRun fake;
    fake.reads = {"banner\n", "banner\n", "time=30.0 \n", "time=60.0 \n"};
    fake.hangsAfterReads = hangs;
    const QString path = start.arguments.last();
    fake.onStart = [path] {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("x");
    };
    return fake;
}

inline QStringList fileNames(const QString &directory)
{
    return QDir(directory).entryList(QDir::Files, QDir::Name);
}

} // namespace batchjob
