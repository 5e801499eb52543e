// How long the event loop is held during a batch run: a 5 ms timer measures its own lateness
// while the run converts a long clip through the encoder program. The conversion time is printed
// against bare FFmpeg with the same switches, measured in the same run.
#include <batchrun.h>
#include <qtchildprocess.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

const QStringList Switches{"-c:v", "h263", "-s", "176x144", "-r", "15", "-c:a", "aac", "-ac", "1", "-ar", "8000"};

bool makeClip(const QString &path, int seconds)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", QString("testsrc=size=640x480:rate=25:duration=%1").arg(seconds),
                            "-f", "lavfi", "-i", QString("sine=duration=%1").arg(seconds), "-c:v", "mpeg4", "-c:a", "mp3",
                            "-shortest", path});
    return ffmpeg.waitForFinished(600000) && ffmpeg.exitCode() == 0;
}

double bareFfmpegMs(const QString &input, const QString &output)
{
    QProcess ffmpeg;
    QElapsedTimer clock;
    clock.start();
    ffmpeg.start("ffmpeg", QStringList{"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", input} + Switches
                               + QStringList{output});
    const bool ok = ffmpeg.waitForFinished(600000) && ffmpeg.exitCode() == 0;
    return ok ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString encoder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : app.applicationDirPath() + "/wmaspi.dll";
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 120;
    QTemporaryDir dir;
    const QString clip = dir.filePath("long clip.avi");
    if (!makeClip(clip, seconds)) {
        std::fprintf(stderr, "could not make the clip with ffmpeg\n");
        return 1;
    }

    conversion::BatchPlan plan;
    plan.encoderPath = encoder;
    plan.outputDirectory = dir.path();
    plan.profileExtension = ".3gp";
    plan.parameters = " " + Switches.join(' ');
    ltvItemData task;
    task.InputFile = clip;
    task.NewName = "converted";
    task.OutputExt = ".3gp";
    task.LengthSec = task.SpanSec = seconds;
    plan.tasks << task;

    platform::QtProcessLauncher launcher;
    conversion::BatchRun run(launcher);
    QEventLoop loop;
    conversion::RunSummary summary;
    QObject::connect(&run, &conversion::BatchRun::runEnded, &loop, [&](const conversion::RunSummary &s) {
        summary = s;
        loop.quit();
    });
    QString status;
    QObject::connect(&run, &conversion::BatchRun::taskEnded, &loop,
                     [&](int, conversion::TaskStatus s) { status = conversion::statusText(s); });

    constexpr int TickMs = 5;
    QElapsedTimer sinceTick;
    qint64 longestStallNs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStallNs = std::max(longestStallNs, sinceTick.nsecsElapsed() - qint64(TickMs) * 1000000);
        sinceTick.restart();
    });

    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start(TickMs);
    run.start(plan);
    loop.exec();
    ticker.stop();
    const double runMs = double(clock.nsecsElapsed()) / 1e6;
    const double bareMs = bareFfmpegMs(clip, dir.filePath("bare.3gp"));

    std::printf("clip: %d s of 640x480 mpeg4/mp3 to 176x144 h263/aac\n", seconds);
    std::printf("task status:             %s\n", qPrintable(status));
    std::printf("longest event-loop stall: %.1f ms (goal: under 20 ms)\n", double(longestStallNs) / 1e6);
    std::printf("batch run:               %.0f ms\n", runMs);
    std::printf("bare ffmpeg:             %.0f ms\n", bareMs);
    if (bareMs > 0)
        std::printf("ratio run / ffmpeg:      %.2f\n", runMs / bareMs);
    return summary.end == conversion::RunEnd::Completed ? 0 : 1;
}
