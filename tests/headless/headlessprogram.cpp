#include "headless/headlessprogram.h"

#include "helpers/processalive.h"

#include <QDir>
#include <QFile>

namespace headlesstest {

ProgramCopy::ProgramCopy(const QList<std::pair<QString, QByteArray>> &profiles)
{
    QFile::copy(QStringLiteral(VELKOR_BIN_DIR "/velkor"), program());
    QFile::link(QStringLiteral(VELKOR_BIN_DIR "/wmaspi.dll"), directory.filePath(QStringLiteral("wmaspi.dll")));
    QDir(directory.path()).mkdir(QStringLiteral("Profiles"));
    for (const auto &[name, text] : profiles) {
        QFile file(directory.filePath(QStringLiteral("Profiles/") + name));
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
    }
}

bool ProgramCopy::addWindow() const
{
    return QFile::copy(QStringLiteral(VELKOR_BIN_DIR "/velkor-window"),
                       directory.filePath(QStringLiteral("velkor-window")));
}

bool ProgramCopy::isValid() const
{
    return directory.isValid() && home.isValid() && QFileInfo(program()).isExecutable();
}

void ProgramCopy::writePreferences(const QByteArray &text) const
{
    QFile file(directory.filePath(QStringLiteral("Preferences.ini")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text);
}

QProcessEnvironment ProgramCopy::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    // Without a display: the window would fail to start, so the test sees that it was not needed.
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}

QString Finished::describe() const
{
    return QStringLiteral("exit %1%2\nstdout:\n%3\nstderr:\n%4")
        .arg(exitCode)
        .arg(crashed ? QStringLiteral(" (crashed)") : QString(), out, err);
}

void start(QProcess &process, const ProgramCopy &copy, const QStringList &arguments, const QString &workingDirectory)
{
    process.setProcessEnvironment(copy.environment());
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(copy.program(), arguments);
}

Finished finish(QProcess &process, int timeoutMs)
{
    Finished finished;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    finished.crashed = process.exitStatus() == QProcess::CrashExit;
    finished.exitCode = process.exitCode();
    finished.out = QString::fromUtf8(process.readAllStandardOutput());
    finished.err = QString::fromUtf8(process.readAllStandardError());
    return finished;
}

Finished run(const ProgramCopy &copy, const QStringList &arguments, const QString &workingDirectory)
{
    QProcess process;
    start(process, copy, arguments, workingDirectory);
    return finish(process);
}

namespace {
QString probe(const QStringList &arguments)
{
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"), QStringList{QStringLiteral("-v"), QStringLiteral("error")} + arguments);
    ffprobe.waitForFinished(30000);
    return QString::fromUtf8(ffprobe.readAllStandardOutput()).trimmed();
}
} // namespace

QString frameSize(const QString &video)
{
    return probe({"-select_streams", "v:0", "-show_entries", "stream=width,height", "-of", "csv=p=0:s=x", video});
}

double duration(const QString &video)
{
    return probe({"-show_entries", "format=duration", "-of", "csv=p=0", video}).toDouble();
}

VideoFacts videoFacts(const QString &video)
{
    VideoFacts facts;
    QString width;
    const QString said = probe({"-select_streams", "v:0", "-show_entries", "stream=width,height:format=duration", "-of",
                                "default=noprint_wrappers=1", video});
    for (const QString &line : said.split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char('='), 1);
        if (line.startsWith(QLatin1String("width=")))
            width = value;
        else if (line.startsWith(QLatin1String("height=")))
            facts.frameSize = width + QLatin1Char('x') + value;
        else if (line.startsWith(QLatin1String("duration=")))
            facts.seconds = value.toDouble();
    }
    return facts;
}

QList<qint64> processesMentioning(const QString &text)
{
    QList<qint64> found;
    const QByteArray wanted = text.toUtf8();
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(wanted) && testprocess::processAlive(pid))
            found << pid;
    }
    return found;
}

bool catchesSignal(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList fileNames(const QString &directory)
{
    return QDir(directory).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace headlesstest
