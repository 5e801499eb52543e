#include "helpers/testclips.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>

namespace testclips {

namespace {

bool runFfmpeg(const QStringList &ffmpegArguments)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{"-nostdin", "-v", "error", "-y"} + ffmpegArguments);
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

// Generated sources only, and no file named but the output at the end: the recipe makes the
// same clip every time.
bool isRepeatable(const QStringList &ffmpegArguments)
{
    if (ffmpegArguments.isEmpty() || !ffmpegArguments.last().contains(QLatin1Char('/')))
        return false;
    for (qsizetype at = 0; at + 1 < ffmpegArguments.size(); ++at) {
        if (ffmpegArguments[at].contains(QLatin1Char('/')))
            return false;
        if (ffmpegArguments[at] == QLatin1String("-i") && (at < 2 || ffmpegArguments[at - 2] != QLatin1String("-f") ||
                                                           ffmpegArguments[at - 1] != QLatin1String("lavfi")))
            return false;
    }
    return true;
}

// Every executable asks for the same few clips, and every run of the suite too: the first one to
// need a clip makes it in a folder of the build that all share, the others copy it. The name
// holds the whole recipe, so a changed recipe makes a clip of its own.
bool copyShared(const QStringList &recipe, const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    const QByteArray key =
        QCryptographicHash::hash((recipe.join('\n') + '.' + suffix).toUtf8(), QCryptographicHash::Sha1).toHex();
    const QDir cache(QStringLiteral(VELKOR_TEST_BIN_DIR "/clips"));
    const QString cached = cache.filePath(QString::fromLatin1(key) + '.' + suffix);
    if (!QFileInfo::exists(cached)) {
        if (!cache.mkpath(QStringLiteral(".")))
            return false;
        // Made under a name of its own and renamed: an executable making the same clip at the
        // same time never copies half of one.
        QTemporaryFile made(cache.filePath(QStringLiteral("making-XXXXXX.") + suffix));
        if (!made.open() || !runFfmpeg(recipe + QStringList{made.fileName()}))
            return false;
        if (made.rename(cached))
            made.setAutoRemove(false);
        else if (!QFileInfo::exists(cached))
            return false;
    }
    QFile::remove(path);
    return QFile::copy(cached, path);
}

} // namespace

bool makeClip(const QStringList &ffmpegArguments)
{
    if (isRepeatable(ffmpegArguments))
        return copyShared(ffmpegArguments.mid(0, ffmpegArguments.size() - 1), ffmpegArguments.last());
    return runFfmpeg(ffmpegArguments);
}

bool makeClip(const QString &path, double seconds)
{
    const QString duration = QString::number(seconds);
    return copyShared({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + duration, "-f", "lavfi", "-i",
                       "sine=duration=" + duration, "-c:v", "mpeg4", "-c:a", "mp3"},
                      path);
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
