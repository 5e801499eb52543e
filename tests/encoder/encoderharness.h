#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

QString encoderPath();

// Runs a program to its end (a minute at most); merged output, as the window reads it.
struct Finished {
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QString output;
};
Finished runToEnd(const QString &program, const QStringList &arguments, const QString &workingDirectory = {},
                  const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
inline Finished runEncoder(const QStringList &arguments, const QString &workingDirectory = {})
{
    return runToEnd(encoderPath(), arguments, workingDirectory);
}
bool makeClip(const QStringList &ffmpegArguments);
// A copy of the encoder in the directory and, optionally, the given program as its ffmpeg.
QString encoderCopy(const QTemporaryDir &dir, const QString &ffmpeg = {});
bool ffmpegHasEncoder(const QString &name);

// A conversion into 3GP that every FFmpeg build can make.
inline const QStringList To3gp = {"-c:v", "h263", "-s",   "176x144", "-b:v", "128k", "-r",  "15",
                                  "-c:a", "aac",  "-b:a", "32k",     "-ar",  "8000", "-ac", "1"};

// What stands at an output before a conversion, to show that a failed one leaves it alone.
inline const QByteArray EarlierOutput = "the user's earlier file";
bool writeFile(const QString &path, const QByteArray &content);
// The file's bytes, or "<missing>".
QByteArray readFile(const QString &path);

// What libavformat itself says about a file.
struct LibavFigures {
    double durationSeconds = -1;
    qint64 bitRate = 0;
    int streamCount = 0;
    QString videoCodec; // empty without a video stream
    QSize frameSize;
    bool hasAudio = false;
    QString formatName;
};
std::optional<LibavFigures> libavFigures(const QString &path);

// The window's cuts on a probe report: the duration and the frame size (with its leading blank).
struct ReportCuts {
    QString duration;
    QString frameSize;
};
std::optional<ReportCuts> cutProbeReport(const QString &report, const QString &path);

// The window's reading of every status line: after "time" and one character, up to a blank.
QList<double> statusTimes(const QString &output);

// Children of a process as /proc lists them; a zombie counts as gone.
QList<qint64> childPids(qint64 parent);
bool processAlive(qint64 pid);

// An encoder running in the background, with the arrival time of each status line.
class RunningEncoder {
public:
    RunningEncoder(const QStringList &arguments, const QString &program = encoderPath(),
                   const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    ~RunningEncoder();

    QProcess process;
    QString output;
    QList<qint64> statusArrivalsMs;

private:
    QElapsedTimer m_clock;
    QByteArray m_pending;
};
