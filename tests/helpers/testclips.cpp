#include "helpers/testclips.h"

#include <QProcess>
#include <QStringList>

namespace testclips {

bool makeClip(const QString &path, double seconds)
{
    const QString duration = QString::number(seconds);
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + duration, "-f",
                  "lavfi", "-i", "sine=duration=" + duration, "-c:v", "mpeg4", "-c:a", "mp3", path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

bool makeNamedPipe(const QString &path)
{
    QProcess mkfifo;
    mkfifo.start(QStringLiteral("mkfifo"), {QStringLiteral("--"), path});
    return mkfifo.waitForFinished() && mkfifo.exitStatus() == QProcess::NormalExit && mkfifo.exitCode() == 0;
}

bool copyUnderRawName(const QString &source, const QString &folder, const QByteArray &name)
{
    // printf's octal escapes carry every byte through the command line.
    QString escaped;
    for (const char byte : name)
        escaped += QStringLiteral("\\%1").arg(uchar(byte), 3, 8, QLatin1Char('0'));
    QProcess copy;
    copy.start(
        QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("cp -- \"$0\" \"$1/$(printf '%1')\"").arg(escaped), source, folder});
    return copy.waitForFinished() && copy.exitStatus() == QProcess::NormalExit && copy.exitCode() == 0;
}

bool removeTree(const QString &folder)
{
    return QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), QStringLiteral("--"), folder}) == 0;
}

EmptyPipeWriter::EmptyPipeWriter(const QString &pipe)
{
    m_writer.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("while :; do : > \"$0\"; done"), pipe});
    m_writer.waitForStarted();
}

EmptyPipeWriter::~EmptyPipeWriter()
{
    m_writer.kill();
    m_writer.waitForFinished();
}

} // namespace testclips
