#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <utility>

namespace headlesstest {

// A portable program directory of its own: a copy of the built program (a link would make the
// build directory its program directory), the real encoder, the given profiles and preferences.
// Its user's home is a folder of its own too, so nothing touches the real one.
struct ProgramCopy {
    QTemporaryDir directory;
    QTemporaryDir home;

    explicit ProgramCopy(const QList<std::pair<QString, QByteArray>> &profiles);
    bool isValid() const;
    QString program() const { return directory.filePath(QStringLiteral("velkor")); }
    // The window is a program of its own, copied only for the tests that start it.
    bool addWindow() const;
    void writePreferences(const QByteArray &contents) const;
    QProcessEnvironment environment() const;
};

struct Finished {
    int exitCode = -1;
    bool crashed = false;
    QString out;
    QString err;
    QString describe() const;
};

// Starts the program copy with the arguments, in workingDirectory when one is given.
void start(QProcess &process, const ProgramCopy &copy, const QStringList &arguments,
           const QString &workingDirectory = {});
Finished finish(QProcess &process, int timeoutMs = 120000);
Finished run(const ProgramCopy &copy, const QStringList &arguments, const QString &workingDirectory = {});

// Width and height, and duration in seconds, of a video as ffprobe reads them.
QString frameSize(const QString &video);
double duration(const QString &video);
// Both at once, in one start of ffprobe.
struct VideoFacts {
    QString frameSize;
    double seconds = 0;
};
VideoFacts videoFacts(const QString &video);

// Processes still alive (not zombies) whose command line mentions text.
QList<qint64> processesMentioning(const QString &text);

// Whether the process has a handler of its own for the signal yet.
bool catchesSignal(qint64 pid, int signal);

QByteArray contents(const QString &path);
QStringList fileNames(const QString &directory);

} // namespace headlesstest
