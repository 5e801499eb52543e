// Figures, not verdicts: folders of clips converted by the headless batch mode and by the main
// window, one and two at a time, against bare FFmpeg running the very command the encoder runs,
// in the same rounds; and the processor time the encoder program adds to each conversion.
#include "benchfigures.h"
#include "benchprocesses.h"
#include "benchprofiles.h"
#include "ffmpegcommand.h"
#include "windowbatch.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// The codec matters: a clip already in the profile's codec would be copied, not converted.
bool makeClip(const QString &path, const QString &size, int seconds, const QString &codec)
{
    const QString duration = QString::number(seconds);
    return runs("ffmpeg",
                {"-nostdin", "-v", "error", "-f", "lavfi", "-i",
                 "testsrc2=size=" + size + ":rate=25:duration=" + duration, "-f", "lavfi", "-i",
                 "sine=frequency=440:duration=" + duration, "-c:v", codec, "-c:a", "aac", "-shortest", "-y", path});
}

void emptyFolder(const QString &path)
{
    QDir(path).removeRecursively();
    QDir().mkpath(path);
}

struct Batch {
    QString title;
    Profile profile;
    QString profileFile;
    QStringList inputs;
    QString clips;
    int rounds = 1;
    int cpuSamples = 1;
    FfmpegCommand ffmpeg; // what the encoder had FFmpeg do with the first clip
};

// The recorded command for every clip, each with a part file of its own, as the encoder names them.
QList<QStringList> bareCommands(const Batch &batch, const QString &output)
{
    QList<QStringList> commands;
    for (const QString &input : batch.inputs)
        commands << batch.ffmpeg.forClip(input, output + "/" + QFileInfo(input).completeBaseName() +
                                                    batch.profile.extension + ".part");
    return commands;
}

struct Round {
    double seconds = -1;
    double firstStartSeconds = -1;
    double cpuSeconds = -1;
    double idleSeconds = -1;   // slots left empty while files waited
    double ownCpuSeconds = -1; // the window's own
};

struct Side {
    const char *name;
    int width; // conversions at once
    std::function<Round()> run;
    std::vector<double> seconds{}, firstStarts{}, cpu{}, idle{}, ownCpu{};
};

double medianOrNone(const std::vector<double> &values)
{
    return values.empty() ? -1 : median(values);
}

// Six ways, in alternating rounds so that a slow phase of the machine hits every side alike.
void timeBatch(const Batch &batch, const QString &velkor, const QString &encoder, const QString &output)
{
    const auto bare = [&](int width) {
        return [&, width] {
            const QList<QStringList> commands = bareCommands(batch, output);
            const double cpuBefore = childCpuMs();
            Round round;
            round.seconds = timed([&] { return runAll(batch.ffmpeg.program, commands, width); });
            round.cpuSeconds = (childCpuMs() - cpuBefore) / 1e3;
            return round;
        };
    };
    const auto headless = [&](int jobs) {
        return [&, jobs] {
            // At normal priority, as bare FFmpeg runs.
            const HeadlessFigure figure = runHeadless(
                velkor, {"--convert", "--json", "--priority", "normal", "--profile", batch.profile.name, "--output",
                         output, "--overwrite", "--jobs", QString::number(jobs), "--", batch.clips});
            return Round{figure.ok ? figure.seconds : -1, figure.firstStartSeconds, figure.cpuSeconds,
                         idleSlotSeconds(figure.starts, figure.ends, jobs)};
        };
    };
    const auto window = [&](int jobs) {
        return [&, jobs] {
            const WindowFigure figure =
                convertInWindow(encoder, batch.profileFile, batch.clips, int(batch.inputs.size()), output, jobs);
            return Round{figure.ok ? figure.seconds : -1, figure.firstStartSeconds, figure.cpuSeconds,
                         idleSlotSeconds(figure.starts, figure.ends, jobs), figure.ownCpuSeconds};
        };
    };
    std::vector<Side> sides = {{"bare ffmpeg, one after another", 1, bare(1)},
                               {"bare ffmpeg, two at a time", 2, bare(2)},
                               {"velkor --convert --jobs 1", 1, headless(1)},
                               {"velkor --convert --jobs 2", 2, headless(2)},
                               {"window, Jobs 1", 1, window(1)},
                               {"window, Jobs 2", 2, window(2)}};
    for (int round = 0; round < batch.rounds; ++round) {
        for (Side &side : sides) {
            emptyFolder(output);
            const Round figure = side.run();
            side.seconds.push_back(figure.seconds);
            side.cpu.push_back(figure.cpuSeconds);
            for (auto [value, figures] : {std::pair{figure.firstStartSeconds, &side.firstStarts},
                                          {figure.idleSeconds, &side.idle},
                                          {figure.ownCpuSeconds, &side.ownCpu}}) {
                if (value >= 0)
                    figures->push_back(value);
            }
        }
    }
    std::printf("%s, profile \"%s\", median of %d rounds\n", qPrintable(batch.title), qPrintable(batch.profile.name),
                batch.rounds);
    std::printf("bare side ran: %s\n", qPrintable(batch.ffmpeg.text()));
    std::printf("%-32s %8s %9s %9s %13s %7s %7s\n", "", "seconds", "/ 1 bare", "/ 2 bare", "first start s", "cpu s",
                "idle s");
    const double one = median(sides[0].seconds);
    const double pair = median(sides[1].seconds);
    for (const Side &side : sides) {
        const double s = median(side.seconds);
        if (s < 0) {
            std::printf("%-32s   failed\n", side.name);
            continue;
        }
        std::printf("%-32s %8.3f %9.3f", side.name, s, s / one);
        if (side.width == 2)
            std::printf(" %9.3f", s / pair);
        else
            std::printf(" %9s", "");
        const double firstStart = medianOrNone(side.firstStarts);
        if (firstStart >= 0)
            std::printf(" %13.3f", firstStart);
        else
            std::printf(" %13s", "");
        std::printf(" %7.2f", median(side.cpu));
        if (const double idle = medianOrNone(side.idle); idle >= 0)
            std::printf(" %7.3f", idle);
        std::printf("\n");
    }
    const double tasks = double(batch.inputs.size());
    std::printf("the window's own processor time per file: Jobs 1 %.1f ms, Jobs 2 %.1f ms\n",
                medianOrNone(sides[4].ownCpu) * 1e3 / tasks, medianOrNone(sides[5].ownCpu) * 1e3 / tasks);
}

double cpuOf(const std::function<bool()> &job)
{
    const double before = childCpuMs();
    return job() ? childCpuMs() - before : -1;
}

// One conversion by the encoder program, then bare FFmpeg on the same clip, clip after clip.
// What both faces give the encoder: the facts their own probe found, so that it need not open the
// input again before FFmpeg starts.
QStringList probedFacts(const QString &encoder, const QString &input)
{
    QProcess probe;
    probe.start(encoder, {"-i", input});
    probe.waitForFinished(60000);
    const QByteArray last = probe.readAllStandardOutput().trimmed().split('\n').last().trimmed();
    if (!last.startsWith("Facts: "))
        return {};
    return {"-source-facts", QString::fromLatin1(last.mid(7))};
}

void timeEncoderCpu(const Batch &batch, const QString &encoder, const QString &output)
{
    const Profile &profile = batch.profile;
    std::vector<double> ours, theirs, over;
    for (const QString &input : batch.inputs.mid(0, batch.cpuSamples)) {
        const QString target = output + "/one" + profile.extension;
        const QStringList facts = probedFacts(encoder, input);
        const double mine = cpuOf([&] {
            return runs(encoder, QStringList{"-y", "-i", input} + profile.switches + facts + QStringList{target});
        });
        const double bare = cpuOf([&] { return runs(batch.ffmpeg.program, batch.ffmpeg.forClip(input, target)); });
        ours.push_back(mine);
        theirs.push_back(bare);
        over.push_back(mine < 0 || bare < 0 ? -1 : mine - bare);
    }
    if (median(over) == -1) {
        std::printf("processor time per task: failed\n\n");
        return;
    }
    std::printf("processor time per task, median of %lld: wmaspi.dll %.1f ms, bare ffmpeg %.1f ms, over %.1f ms\n\n",
                static_cast<long long>(over.size()), median(ours), median(theirs), median(over));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString velkor =
        QFileInfo(args.value(1, QCoreApplication::applicationDirPath() + "/velkor")).absoluteFilePath();
    const int clipCount = args.value(2, "16").toInt();
    const int seconds = args.value(3, "5").toInt();
    const int rounds = args.value(4, "3").toInt();
    const int longCount = args.value(5, "8").toInt();
    const int longSeconds = args.value(6, "10").toInt();
    const int longRounds = args.value(7, "1").toInt();
    const QString folder = QFileInfo(velkor).absolutePath();
    const QString encoder = folder + "/wmaspi.dll";

    QTemporaryDir work;
    const QString output = work.filePath("out");
    std::vector<Batch> batches;
    const auto makeBatch = [&](const QString &profileName, const QString &size, const QString &codec, int count,
                               int length, int batchRounds, int cpuSamples) {
        Batch batch{QString("%1 clips of %2 s, %3").arg(count).arg(length).arg(size),
                    readProfile(folder, profileName),
                    folder + "/Profiles/" + profileName + ".vkp",
                    {},
                    work.filePath(QString("clips %1").arg(batches.size())),
                    batchRounds,
                    cpuSamples,
                    {}};
        if (batch.profile.switches.isEmpty()) {
            std::fprintf(stderr, "cannot read the shipped profile \"%s\"\n", qPrintable(profileName));
            return false;
        }
        QDir().mkpath(batch.clips);
        for (int i = 1; i <= count; ++i) {
            const QString clip = batch.clips + QString("/clip %1.mp4").arg(i, 2, 10, QLatin1Char('0'));
            // The clips are alike: one made, the others copies.
            if (!(i == 1 ? makeClip(clip, size, length, codec) : QFile::copy(batch.inputs.front(), clip))) {
                std::fprintf(stderr, "could not make the clips with ffmpeg\n");
                return false;
            }
            batch.inputs << clip;
        }
        const QString standIn = work.filePath(QString("stand-in %1").arg(batches.size()));
        QDir().mkpath(standIn);
        batch.ffmpeg = recordFfmpegCommand(encoder, batch.inputs.front(), batch.profile.switches,
                                           standIn + "/recorded" + batch.profile.extension, standIn);
        if (!batch.ffmpeg.valid()) {
            std::fprintf(stderr, "no FFmpeg command recorded: %s\n", qPrintable(batch.ffmpeg.error));
            return false;
        }
        batches.push_back(batch);
        return true;
    };
    if (!makeBatch("3GP H.263 176x144 (QCIF)", "320x240", "libx264", clipCount, seconds, rounds,
                   std::min(clipCount, 8)) ||
        !makeBatch("MP4 H.264 640x360", "640x360", "mpeg4", longCount, longSeconds, longRounds, std::min(longCount, 3)))
        return 1;

    for (const Batch &batch : batches) {
        timeBatch(batch, velkor, encoder, output);
        emptyFolder(output);
        timeEncoderCpu(batch, encoder, output);
    }
    return 0;
}
