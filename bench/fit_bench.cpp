// Figures, not verdicts: conversions into a size by the encoder program, each against one plain
// conversion by the same program at the video bit rate the fit computes, on clips made here.
#include "benchfigures.h"
#include "benchprofiles.h"
#include "conversionplan.h"
#include "fit/fitparameters.h"
#include "fit/fitplan.h"
#include "probe/mediainfo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <variant>
#include <vector>

namespace {

struct Case {
    const char *profile;
    const char *frameSize;
    int seconds;
    const char *fit;
};

// Light noise over a moving picture, as a camera gives: every bit of the budget finds a use.
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
                            "testsrc2=size=" + size + ":rate=25:duration=" + duration + ",noise=alls=6:allf=t",
                            "-f",
                            "lavfi",
                            "-i",
                            "sine=frequency=440:duration=" + duration,
                            "-c:v",
                            "libx264",
                            "-preset",
                            "veryfast",
                            "-crf",
                            "16",
                            "-c:a",
                            "aac",
                            "-shortest",
                            "-y",
                            path});
    return ffmpeg.waitForFinished(600000) && ffmpeg.exitCode() == 0;
}

std::vector<std::string> toStd(const QStringList &list)
{
    std::vector<std::string> texts;
    for (const QString &text : list)
        texts.push_back(text.toStdString());
    return texts;
}

QStringList toQt(const std::vector<std::string> &texts)
{
    QStringList list;
    for (const auto &text : texts)
        list.append(QString::fromStdString(text));
    return list;
}

// Seconds the encoder took, -1 when it failed.
double timedRun(const QString &encoder, const QStringList &arguments)
{
    return timed([&] {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(encoder, arguments);
        return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString encoder = args.value(1, QCoreApplication::applicationDirPath() + "/wmaspi.dll");
    const int rounds = args.value(2, "3").toInt();
    const QString folder = QFileInfo(encoder).absolutePath();
    const Case cases[] = {{"3GP H.264 320x240", "320x240", 10, "1M"},
                          {"3GP H.264 320x240", "320x240", 40, "3M"},
                          {"MP4 H.264 640x360", "640x360", 60, "8M"}};

    QTemporaryDir work;
    std::printf("%-30s %6s %11s %8s %8s %11s %8s %7s\n", "clip, profile", "target", "fit bytes", "under", "fit s",
                "1-pass bytes", "1-pass s", "ratio");
    for (const Case &c : cases) {
        const QString clip = work.filePath(QString("clip%1.mp4").arg(c.seconds));
        const Profile profile = readProfile(folder, c.profile);
        const QStringList &switches = profile.switches;
        const QString &extension = profile.extension;
        if (switches.isEmpty() || !makeClip(clip, c.frameSize, c.seconds)) {
            std::fprintf(stderr, "cannot read the profile \"%s\" or make its clip\n", c.profile);
            return 1;
        }
        // The bit rate the fit computes, from the same plan the encoder makes.
        encoder::ConversionRequest request;
        request.input = clip.toStdString();
        request.parameters = toStd(switches);
        request.output = work.filePath("out." + extension).toStdString();
        const auto container = encoder::containerSwitch(request).value_or(std::vector<std::string>{});
        const auto planned = encoder::planFit(c.fit, *encoder::probeMedia(request.input).info, request.parameters,
                                              encoder::muxerKinds(request, container).value_or(encoder::MuxerKinds{}),
                                              encoder::muxerName(request, container).value_or(""));
        const auto *plan = std::get_if<encoder::FitPlan>(&planned);
        if (!plan) {
            std::fprintf(stderr, "%s\n", std::get<std::string>(planned).c_str());
            return 1;
        }
        const QStringList single =
            toQt(encoder::fitParameters(request.parameters, plan->videoBitRate, plan->audioBitRate));

        const QString fitOut = work.filePath("fit." + extension);
        const QString singleOut = work.filePath("single." + extension);
        std::vector<double> fitSeconds, singleSeconds;
        for (int round = 0; round < rounds; ++round) {
            fitSeconds.push_back(
                timedRun(encoder, QStringList{"-y", "-i", clip} + switches + QStringList{"-fit", c.fit, fitOut}));
            singleSeconds.push_back(timedRun(encoder, QStringList{"-y", "-i", clip} + single + QStringList{singleOut}));
        }
        const double fitBytes = double(QFileInfo(fitOut).size());
        const double target = plan->size.bytes;
        std::printf("%-30s %6s %11.0f %7.2f%% %8.2f %11lld %8.2f %7.2f\n",
                    qPrintable(QString("%1 s, %2").arg(c.seconds).arg(c.profile)), c.fit, fitBytes,
                    (target - fitBytes) / target * 100, median(fitSeconds),
                    static_cast<long long>(QFileInfo(singleOut).size()), median(singleSeconds),
                    median(fitSeconds) / median(singleSeconds));
    }
    return 0;
}
