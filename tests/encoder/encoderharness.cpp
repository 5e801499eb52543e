#include "encoder/encoderharness.h"

#include "helpers/testclips.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <QDir>
#include <QFile>

QString encoderPath()
{
    return QStringLiteral(VELKOR_BIN_DIR "/wmaspi.dll");
}

Finished runToEnd(const QString &program, const QStringList &arguments, const QString &workingDirectory,
                  const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(workingDirectory);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        process.kill();
    process.waitForFinished();
    return {process.exitCode(), process.exitStatus(), QString::fromUtf8(process.readAll())};
}

bool makeClip(const QStringList &ffmpegArguments)
{
    return testclips::makeClip(ffmpegArguments);
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString encoderCopy(const QTemporaryDir &dir, const QString &ffmpeg)
{
    const QString copy = dir.filePath(QStringLiteral("wmaspi.dll"));
    if (!QFile::copy(encoderPath(), copy) || (!ffmpeg.isEmpty() && !QFile::copy(ffmpeg, dir.filePath("ffmpeg"))))
        return {};
    return copy;
}

bool ffmpegHasEncoder(const QString &name)
{
    const QString list = runToEnd(QStringLiteral("ffmpeg"), {"-hide_banner", "-encoders"}).output;
    return list.contains(QLatin1Char(' ') + name + QLatin1Char(' '));
}

std::optional<LibavFigures> libavFigures(const QString &path)
{
    AVFormatContext *context = nullptr;
    if (avformat_open_input(&context, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return std::nullopt;
    avformat_find_stream_info(context, nullptr);
    LibavFigures figures;
    figures.durationSeconds = context->duration == AV_NOPTS_VALUE ? -1 : double(context->duration) / AV_TIME_BASE;
    figures.bitRate = context->bit_rate;
    figures.streamCount = int(context->nb_streams);
    figures.formatName = QString::fromLatin1(context->iformat->name);
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVCodecParameters *codec = context->streams[i]->codecpar;
        if (codec->codec_type == AVMEDIA_TYPE_VIDEO && figures.videoCodec.isEmpty()) {
            figures.videoCodec = QString::fromLatin1(avcodec_get_name(codec->codec_id));
            figures.frameSize = QSize(codec->width, codec->height);
        }
        figures.hasAudio = figures.hasAudio || codec->codec_type == AVMEDIA_TYPE_AUDIO;
    }
    avformat_close_input(&context);
    return figures;
}

std::optional<ReportCuts> cutProbeReport(const QString &report, const QString &path)
{
    QString rest = report;
    auto after = [&rest](const QString &mark, qsizetype extra) {
        const qsizetype at = rest.indexOf(mark);
        if (at >= 0)
            rest = rest.mid(at + mark.size() + extra);
        return at >= 0;
    };
    ReportCuts cuts;
    if (!after(path, 0) || !after(QStringLiteral("Duration"), 0) || !after(QStringLiteral(":"), 1))
        return std::nullopt;
    cuts.duration = rest.left(rest.indexOf(QLatin1Char(',')));
    if (!after(QStringLiteral(","), 0) || !after(QStringLiteral("Video"), 0) || !after(QStringLiteral(","), 0) ||
        !after(QStringLiteral(","), 0) || !rest.contains(QLatin1Char(',')))
        return std::nullopt;
    cuts.frameSize = rest.left(rest.indexOf(QLatin1Char(',')));
    return cuts;
}

QList<double> statusTimes(const QString &output)
{
    QList<double> times;
    for (const QString &line : output.split(QLatin1Char('\n'))) {
        const qsizetype at = line.indexOf(QStringLiteral("time"));
        if (!line.startsWith(QStringLiteral("frame=")) || at < 0)
            continue;
        const QString rest = line.mid(at + 5);
        bool ok = false;
        const double seconds = rest.left(rest.indexOf(QLatin1Char(' '))).toDouble(&ok);
        times.append(ok ? seconds : -1);
    }
    return times;
}

namespace {

// "pid (comm) state ppid ...": comm may hold blanks and parentheses, so cut at the last ")".
std::optional<std::pair<QChar, qint64>> stateAndParent(const QString &pidText)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pidText));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = QString::fromUtf8(stat.readAll());
    const QStringList fields = text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
    if (fields.size() < 2)
        return std::nullopt;
    return std::make_pair(fields[0].at(0), fields[1].toLongLong());
}

} // namespace

QList<qint64> childPids(qint64 parent)
{
    QList<qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        const auto info = stateAndParent(entry);
        if (info && info->second == parent && info->first != QLatin1Char('Z'))
            children.append(pid);
    }
    return children;
}

bool processAlive(qint64 pid)
{
    const auto info = stateAndParent(QString::number(pid));
    return info && info->first != QLatin1Char('Z');
}

RunningEncoder::RunningEncoder(const QStringList &arguments, const QString &program,
                               const QProcessEnvironment &environment)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    QObject::connect(&process, &QProcess::readyRead, &process, [this] {
        m_pending += process.readAll();
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_pending.left(end));
            m_pending.remove(0, end + 1);
            output += line + QLatin1Char('\n');
            if (line.startsWith(QStringLiteral("frame=")))
                statusArrivalsMs.append(m_clock.elapsed());
        }
    });
    m_clock.start();
    process.start(program, arguments);
}

RunningEncoder::~RunningEncoder()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
}
