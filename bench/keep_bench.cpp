// Figures, not verdicts: a phone-like clip that already is what a profile makes, converted by the
// encoder with its compatible streams kept, converted in full, and copied by bare FFmpeg.
#include "benchfigures.h"
#include "benchprofiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

// What a phone records, at a rate under the profiles' ceilings: 1280x720 H.264 Main at 30 fps,
// AAC stereo at 44100 Hz and 96 kb/s.
bool makeClip(const QString &path, int seconds)
{
    const QString duration = QString::number(seconds);
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-nostdin",
                            "-v",
                            "error",
                            "-f",
                            "lavfi",
                            "-i",
                            "testsrc2=size=1280x720:rate=30:duration=" + duration + ",noise=alls=4:allf=t",
                            "-f",
                            "lavfi",
                            "-i",
                            "sine=frequency=440:sample_rate=44100:duration=" + duration,
                            "-c:v",
                            "libx264",
                            "-preset",
                            "veryfast",
                            "-profile:v",
                            "main",
                            "-pix_fmt",
                            "yuv420p",
                            "-b:v",
                            "1500k",
                            "-maxrate",
                            "1800k",
                            "-bufsize",
                            "3000k",
                            "-c:a",
                            "aac",
                            "-ac",
                            "2",
                            "-b:a",
                            "96k",
                            "-movflags",
                            "+faststart",
                            "-shortest",
                            "-y",
                            path});
    return ffmpeg.waitForFinished(-1) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

bool runs(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

struct Figure {
    double seconds = -1;
    qint64 bytes = 0;
};

Figure measure(int rounds, const QString &output, const std::function<bool()> &job)
{
    std::vector<double> seconds;
    for (int round = 0; round < rounds; ++round) {
        QFile::remove(output);
        seconds.push_back(timed(job));
    }
    return {median(seconds), QFileInfo(output).size()};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString encoder = args.value(1, QCoreApplication::applicationDirPath() + "/wmaspi.dll");
    const int seconds = args.value(2, "60").toInt();
    const int rounds = args.value(3, "3").toInt();
    const QString folder = QFileInfo(encoder).absolutePath();

    QTemporaryDir work;
    const QString clip = work.filePath("phone.mp4");
    if (!makeClip(clip, seconds)) {
        std::fprintf(stderr, "cannot make the clip\n");
        return 1;
    }
    std::printf("%d s 1280x720 H.264 Main + AAC, %lld bytes; median of %d rounds (the full conversion once)\n\n",
                seconds, QFileInfo(clip).size(), rounds);
    std::printf("%-34s %9s %11s %9s %11s %9s %11s %8s %8s\n", "profile", "kept s", "kept bytes", "full s", "full bytes",
                "copy s", "copy bytes", "kept/cp", "full/kpt");
    for (const char *name : {"MP4 H.264 1280x720", "MP4 H.264 for messaging (16 MB)"}) {
        const Profile profile = readProfile(folder, name);
        if (profile.switches.isEmpty()) {
            std::fprintf(stderr, "cannot read the profile \"%s\"\n", name);
            return 1;
        }
        const QString kept = work.filePath("kept." + profile.extension);
        const QString full = work.filePath("full." + profile.extension);
        const QString copy = work.filePath("copy." + profile.extension);
        const QStringList input{"-y", "-i", clip};
        const Figure keptFigure =
            measure(rounds, kept, [&] { return runs(encoder, input + profile.switches + QStringList{kept}); });
        // The last -keep-streams counts: the same profile, every stream converted.
        const Figure fullFigure = measure(1, full, [&] {
            return runs(encoder, input + profile.switches + QStringList{"-keep-streams", "no", full});
        });
        const Figure copyFigure = measure(rounds, copy, [&] {
            return runs("ffmpeg",
                        {"-nostdin", "-v", "error", "-y", "-i", clip, "-c", "copy", "-movflags", "+faststart", copy});
        });
        std::printf("%-34s %9.2f %11lld %9.2f %11lld %9.2f %11lld %8.2f %8.1f\n", name, keptFigure.seconds,
                    keptFigure.bytes, fullFigure.seconds, fullFigure.bytes, copyFigure.seconds, copyFigure.bytes,
                    keptFigure.seconds / copyFigure.seconds, fullFigure.seconds / keptFigure.seconds);
    }
    return 0;
}
