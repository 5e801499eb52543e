// Figures, not verdicts: a folder of short clips converted by the headless batch mode, one and two
// at a time, against bare FFmpeg with the same switches one after the other, in the same run.
#include <parametersettings.h>
#include <parameterstring.h>
#include <profilereading.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QString ProfileName = QStringLiteral("3GP H.263 176x144 (QCIF)");

bool makeClip(const QString &path, int seconds)
{
    const QString duration = QString::number(seconds);
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-nostdin", "-v", "error", "-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=" + duration,
                            "-f", "lavfi", "-i", "sine=frequency=440:duration=" + duration, "-c:v", "libx264",
                            "-preset", "veryfast", "-c:a", "aac", "-shortest", "-y", path});
    return ffmpeg.waitForFinished(120000) && ffmpeg.exitCode() == 0;
}

// The switches the profile gives as it is shipped, as the window and the batch mode build them.
QStringList profileSwitches(const QString &profilePath)
{
    const profiles::ProfileData profile = profiles::ReadProfileFile(profilePath);
    const profiles::ParameterSettings shipped(profile);
    return QProcess::splitCommand(profiles::BuildParameterString(profile, shipped.shownValue()));
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

// Seconds a job took, -1 when it failed.
double timed(const std::function<bool()> &job)
{
    QElapsedTimer clock;
    clock.start();
    const bool ok = job();
    return ok ? double(clock.nsecsElapsed()) / 1e9 : -1;
}

double median(std::vector<double> values)
{
    if (std::count(values.begin(), values.end(), -1.0))
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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
    const QString profilePath = QFileInfo(velkor).absolutePath() + "/Profiles/" + ProfileName + ".vkp";
    const QStringList switches = profileSwitches(profilePath);
    if (switches.isEmpty()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(profilePath));
        return 1;
    }

    QTemporaryDir work;
    const QString clips = work.filePath("clips");
    const QString output = work.filePath("out");
    QDir().mkpath(clips);
    QStringList inputs;
    for (int i = 1; i <= clipCount; ++i) {
        const QString clip = clips + QString("/clip %1.mp4").arg(i, 2, 10, QLatin1Char('0'));
        if (!makeClip(clip, seconds)) {
            std::fprintf(stderr, "could not make the clips with ffmpeg\n");
            return 1;
        }
        inputs << clip;
    }

    const auto bareFfmpeg = [&](const QString &input) {
        return runs("ffmpeg", QStringList{"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", input} + switches
                                  + QStringList{output + "/" + QFileInfo(input).completeBaseName() + ".3gp"});
    };
    const auto sequential = [&] {
        return std::all_of(inputs.begin(), inputs.end(), bareFfmpeg);
    };
    // Two FFmpeg at a time: what two simultaneous conversions can reach on their own.
    const auto twoAtOnce = [&] {
        bool ok = true;
        for (qsizetype i = 0; i < inputs.size(); i += 2) {
            QProcess second;
            if (i + 1 < inputs.size()) {
                second.setStandardOutputFile(QProcess::nullDevice());
                second.start("ffmpeg", QStringList{"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", inputs[i + 1]}
                                           + switches + QStringList{output + "/" + QString::number(i + 1) + ".3gp"});
            }
            ok = bareFfmpeg(inputs[i]) && ok;
            if (i + 1 < inputs.size())
                ok = second.waitForFinished(-1) && second.exitCode() == 0 && ok;
        }
        return ok;
    };
    const auto headless = [&](int jobs) {
        return [&, jobs] {
            return runs(velkor, {"--convert", "--profile", ProfileName, "--output", output, "--overwrite", "--jobs",
                                 QString::number(jobs), clips});
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
    // Alternating rounds, so a slow phase of the machine hits every side alike.
    for (int round = 0; round < rounds; ++round) {
        for (Side &side : sides) {
            emptyFolder(output);
            side.seconds.push_back(timed(side.job));
        }
    }
    std::printf("%d clips of %d s, profile \"%s\", median of %d rounds\n", clipCount, seconds, qPrintable(ProfileName), rounds);
    std::printf("%-34s %9s %8s\n", "", "seconds", "ratio");
    const double baseline = median(sides.front().seconds);
    for (const Side &side : sides) {
        const double s = median(side.seconds);
        if (s < 0)
            std::printf("%-34s failed\n", side.name);
        else
            std::printf("%-34s %9.3f %8.3f\n", side.name, s, s / baseline);
    }
    return 0;
}
