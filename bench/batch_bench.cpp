// Figures, not verdicts: folders of clips converted by the headless batch mode, one and two at a
// time, against bare FFmpeg with the same switches, in the same run; and the processor time the
// encoder program adds to each conversion.
#include "benchfigures.h"
#include "benchprofiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace {

bool makeClip(const QString &path, const QString &size, int seconds)
{
    const QString duration = QString::number(seconds);
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-nostdin",
                            "-v",
                            "error",
                            "-f",
                            "lavfi",
                            "-i",
                            "testsrc2=size=" + size + ":rate=25:duration=" + duration,
                            "-f",
                            "lavfi",
                            "-i",
                            "sine=frequency=440:duration=" + duration,
                            "-c:v",
                            "libx264",
                            "-preset",
                            "veryfast",
                            "-c:a",
                            "aac",
                            "-shortest",
                            "-y",
                            path});
    return ffmpeg.waitForFinished(600000) && ffmpeg.exitCode() == 0;
}

bool runs(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void emptyFolder(const QString &path)
{
    QDir(path).removeRecursively();
    QDir().mkpath(path);
}

// Processor time of our reaped children, user and system, in milliseconds: the encoder reaps
// FFmpeg, so its figure holds FFmpeg's too.
double childCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double cpuOf(const std::function<bool()> &job)
{
    const double before = childCpuMs();
    return job() ? childCpuMs() - before : -1;
}

QStringList bareArguments(const QString &input, const QStringList &switches, const QString &output)
{
    return QStringList{"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", input} + switches +
           QStringList{output};
}

struct Batch {
    QString title;
    Profile profile;
    QStringList inputs;
    QString clips;
};

// The four ways, in alternating rounds so that a slow phase of the machine hits every side alike.
void timeBatch(const Batch &batch, const QString &velkor, const QString &output, int rounds)
{
    const Profile &profile = batch.profile;
    const auto bareFfmpeg = [&](const QString &input, const QString &name) {
        return runs("ffmpeg", bareArguments(input, profile.switches, output + "/" + name + profile.extension));
    };
    const auto sequential = [&] {
        return std::all_of(batch.inputs.begin(), batch.inputs.end(), [&](const QString &input) {
            return bareFfmpeg(input, QFileInfo(input).completeBaseName());
        });
    };
    // Two FFmpeg at a time: what two simultaneous conversions can reach on their own.
    const auto twoAtOnce = [&] {
        bool ok = true;
        for (qsizetype i = 0; i < batch.inputs.size(); i += 2) {
            QProcess second;
            if (i + 1 < batch.inputs.size()) {
                second.setStandardOutputFile(QProcess::nullDevice());
                second.start("ffmpeg", bareArguments(batch.inputs[i + 1], profile.switches,
                                                     output + "/" + QString::number(i + 1) + profile.extension));
            }
            ok = bareFfmpeg(batch.inputs[i], QString::number(i)) && ok;
            if (i + 1 < batch.inputs.size())
                ok = second.waitForFinished(-1) && second.exitCode() == 0 && ok;
        }
        return ok;
    };
    const auto headless = [&](int jobs) {
        return [&, jobs] {
            return runs(velkor, {"--convert", "--profile", profile.name, "--output", output, "--overwrite", "--jobs",
                                 QString::number(jobs), batch.clips});
        };
    };
    struct Side {
        const char *name;
        std::function<bool()> job;
        std::vector<double> seconds;
    };
    std::vector<Side> sides = {{"bare ffmpeg, one after another", sequential, {}},
                               {"bare ffmpeg, two at a time", twoAtOnce, {}},
                               {"velkor --convert --jobs 1", headless(1), {}},
                               {"velkor --convert --jobs 2", headless(2), {}}};
    for (int round = 0; round < rounds; ++round) {
        for (Side &side : sides) {
            emptyFolder(output);
            side.seconds.push_back(timed(side.job));
        }
    }
    std::printf("%s, profile \"%s\", median of %d rounds\n", qPrintable(batch.title), qPrintable(profile.name), rounds);
    std::printf("%-34s %9s %8s\n", "", "seconds", "ratio");
    const double baseline = median(sides.front().seconds);
    for (const Side &side : sides) {
        const double s = median(side.seconds);
        if (s < 0)
            std::printf("%-34s failed\n", side.name);
        else
            std::printf("%-34s %9.3f %8.3f\n", side.name, s, s / baseline);
    }
}

// One conversion by the encoder program, then bare FFmpeg on the same clip, clip after clip.
void timeEncoderCpu(const Batch &batch, const QString &encoder, const QString &output)
{
    const Profile &profile = batch.profile;
    std::vector<double> ours, theirs, over;
    for (const QString &input : batch.inputs) {
        const QString target = output + "/one" + profile.extension;
        const double mine = cpuOf([&] {
            return runs(encoder, QStringList{"-y", "-i", input} + profile.switches + QStringList{target});
        });
        const double bare = cpuOf([&] { return runs("ffmpeg", bareArguments(input, profile.switches, target)); });
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
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString velkor = args.value(1, QCoreApplication::applicationDirPath() + "/velkor");
    const int clipCount = args.value(2, "24").toInt();
    const int seconds = args.value(3, "5").toInt();
    const int rounds = args.value(4, "3").toInt();
    const int longCount = args.value(5, "4").toInt();
    const int longSeconds = args.value(6, "60").toInt();
    const int longRounds = args.value(7, "1").toInt();
    const QString folder = QFileInfo(velkor).absolutePath();
    const QString encoder = folder + "/wmaspi.dll";

    const Profile shortProfile = readProfile(folder, QStringLiteral("3GP H.263 176x144 (QCIF)"));
    const Profile longProfile = readProfile(folder, QStringLiteral("MP4 H.264 640x360"));
    if (shortProfile.switches.isEmpty() || longProfile.switches.isEmpty()) {
        std::fprintf(stderr, "cannot read the shipped profiles in %s/Profiles\n", qPrintable(folder));
        return 1;
    }

    QTemporaryDir work;
    const QString output = work.filePath("out");
    std::vector<Batch> batches;
    const auto makeBatch = [&](const QString &title, const Profile &profile, const QString &size, int count,
                               int length) {
        Batch batch{title, profile, {}, work.filePath(QString::number(batches.size()))};
        QDir().mkpath(batch.clips);
        for (int i = 1; i <= count; ++i) {
            const QString clip = batch.clips + QString("/clip %1.mp4").arg(i, 2, 10, QLatin1Char('0'));
            // The clips are alike: one made, the others copies.
            if (!(i == 1 ? makeClip(clip, size, length) : QFile::copy(batch.inputs.front(), clip)))
                return false;
            batch.inputs << clip;
        }
        batches.push_back(batch);
        return true;
    };
    if (!makeBatch(QString("%1 clips of %2 s, 320x240").arg(clipCount).arg(seconds), shortProfile, "320x240", clipCount,
                   seconds) ||
        !makeBatch(QString("%1 clips of %2 s, 640x360").arg(longCount).arg(longSeconds), longProfile, "640x360",
                   longCount, longSeconds)) {
        std::fprintf(stderr, "could not make the clips with ffmpeg\n");
        return 1;
    }

    for (std::size_t i = 0; i < batches.size(); ++i) {
        timeBatch(batches[i], velkor, output, i == 0 ? rounds : longRounds);
        emptyFolder(output);
        timeEncoderCpu(batches[i], encoder, output);
    }
    return 0;
}
