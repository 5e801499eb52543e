// Figures, not verdicts: how much the encoder program adds to what FFmpeg's own tools take.
// Probe: "wmaspi.dll -i" against ffprobe. Conversion: wmaspi.dll against bare ffmpeg with
// the same switches. Both on clips made here, measured in the same run.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Milliseconds of one run to its end, or -1 when the program failed.
double timedRun(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    const bool finished = process.waitForFinished(300000);
    const double elapsed = double(clock.nsecsElapsed()) / 1e6;
    const bool ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return ok ? elapsed : -1;
}

// Processor time of our reaped children and theirs (the encoder reaps FFmpeg), from
// /proc/self/stat in its fixed 100 ticks a second. On a busy machine it varies far less than
// the wall clock, and it is what an encoder adds to a machine whose cores are all taken.
double childCpuMs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 14 ? (fields[13].toDouble() + fields[14].toDouble()) * 10.0 : 0;
}

struct Figures {
    double oursMs = -1, theirsMs = -1;     // medians of the wall clock
    double oursCpuMs = 0, theirsCpuMs = 0; // means of processor time
};

// Alternating runs, so a slow phase of the machine hits both sides alike.
Figures measure(int rounds, const std::function<double()> &ours, const std::function<double()> &theirs)
{
    std::vector<double> a, b;
    Figures figures;
    for (int i = 0; i < rounds; ++i) {
        double before = childCpuMs();
        a.push_back(ours());
        figures.oursCpuMs += (childCpuMs() - before) / rounds;
        before = childCpuMs();
        b.push_back(theirs());
        figures.theirsCpuMs += (childCpuMs() - before) / rounds;
    }
    if (std::count(a.begin(), a.end(), -1.0) || std::count(b.begin(), b.end(), -1.0))
        return {};
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    figures.oursMs = a[a.size() / 2];
    figures.theirsMs = b[b.size() / 2];
    return figures;
}

void printRow(const char *what, const QString &clip, const Figures &ms)
{
    if (ms.oursMs < 0) {
        std::printf("%-12s %-20s failed\n", what, qPrintable(clip));
        return;
    }
    std::printf("%-12s %-20s %9.1f %9.1f %9.1f %7.2f %9.1f %9.1f %9.1f\n", what, qPrintable(clip), ms.oursMs,
                ms.theirsMs, ms.oursMs - ms.theirsMs, ms.oursMs / ms.theirsMs, ms.oursCpuMs, ms.theirsCpuMs,
                ms.oursCpuMs - ms.theirsCpuMs);
}

struct Clip {
    QString name;
    QStringList sources;
    QStringList codecs;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString encoder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                     : QCoreApplication::applicationDirPath() + QStringLiteral("/wmaspi.dll");
    const int probeRounds = 21;
    const int conversionRounds = 9;
    QTemporaryDir dir;

    auto lavfi = [](const QString &video, const QString &audio) {
        QStringList sources;
        if (!video.isEmpty())
            sources << "-f"
                    << "lavfi"
                    << "-i" << video;
        return sources << "-f"
                       << "lavfi"
                       << "-i" << audio;
    };
    const QList<Clip> clips = {
        {"320x240-4s.avi",
         lavfi("testsrc=size=320x240:rate=25:duration=4", "sine=duration=4"),
         {"-c:v", "mpeg4", "-c:a", "libmp3lame"}},
        {"640x480-20s.mp4",
         lavfi("testsrc=size=640x480:rate=25:duration=20", "sine=duration=20"),
         {"-c:v", "libx264", "-preset", "veryfast", "-c:a", "aac"}},
        {"tone-60s.mp3", lavfi({}, "sine=duration=60"), {"-c:a", "libmp3lame"}},
    };
    for (const Clip &clip : clips) {
        const QStringList make = QStringList{"-nostdin", "-v", "error", "-y"} + clip.sources + clip.codecs +
                                 QStringList{"-shortest", dir.filePath(clip.name)};
        if (timedRun("ffmpeg", make) < 0) {
            std::fprintf(stderr, "cannot make %s\n", qPrintable(clip.name));
            return 1;
        }
    }

    // "over" is what each task costs beyond FFmpeg's own run, on the wall clock and in processor time.
    std::printf("%-12s %-20s %9s %9s %9s %7s %9s %9s %9s\n", "task", "clip", "ours ms", "ffmpeg ms", "over ms", "ratio",
                "ours cpu", "ffmpeg cpu", "over cpu");
    for (const Clip &clip : clips) {
        const QString path = dir.filePath(clip.name);
        printRow("probe", clip.name,
                 measure(
                     probeRounds,
                     [&] {
                         return timedRun(encoder, {"-i", path});
                     },
                     [&] {
                         return timedRun("ffprobe", {"-hide_banner", path});
                     }));
    }

    const QStringList to3gp = {"-c:v", "h263", "-s",   "176x144", "-b:v", "128k", "-r",  "15",
                               "-c:a", "aac",  "-b:a", "32k",     "-ar",  "8000", "-ac", "1"};
    const QStringList toMp3 = {"-vn", "-c:a", "libmp3lame", "-b:a", "64k"};
    const QList<std::pair<QString, QStringList>> conversions = {
        {clips[0].name, to3gp}, {clips[1].name, to3gp}, {clips[2].name, toMp3}};
    for (const auto &[name, parameters] : conversions) {
        const QString input = dir.filePath(name);
        const QString extension = parameters.contains("-vn") ? ".mp3" : ".3gp";
        const QStringList ours =
            QStringList{"-y", "-i", input} + parameters + QStringList{dir.filePath("ours" + extension)};
        const QStringList bare = QStringList{"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", input} +
                                 parameters + QStringList{dir.filePath("bare" + extension)};
        printRow(
            qPrintable("convert" + extension), name,
            measure(
                conversionRounds, [&] { return timedRun(encoder, ours); }, [&] { return timedRun("ffmpeg", bare); }));
    }
    return 0;
}
