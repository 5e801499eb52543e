#include "ffmpegcommand.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

// NUL-separated, so that no argument can pass for two.
const char *StandIn = "#!/bin/sh\n"
                      "printf '%s\\0' \"$@\" > \"$VELKOR_BENCH_RECORD\"\n"
                      "exec \"$VELKOR_BENCH_FFMPEG\" \"$@\"\n";

QString quotedWhereNeeded(const QString &argument)
{
    if (!argument.isEmpty() && !argument.contains(QLatin1Char(' ')) && !argument.contains(QLatin1Char('\'')))
        return argument;
    QString quoted = argument;
    return QLatin1Char('\'') + quoted.replace(QLatin1String("'"), QLatin1String("'\\''")) + QLatin1Char('\'');
}

} // namespace

QStringList FfmpegCommand::forClip(const QString &input, const QString &output) const
{
    QStringList list = arguments;
    list[inputAt] = QStringLiteral("file:") + input;
    list.last() = QStringLiteral("file:") + output;
    return list;
}

QString FfmpegCommand::text() const
{
    QStringList shown;
    for (const QString &argument : forClip(QStringLiteral("<clip>"), QStringLiteral("<name>.part")))
        shown << quotedWhereNeeded(argument);
    return QFileInfo(program).fileName() + QLatin1Char(' ') + shown.join(QLatin1Char(' '));
}

FfmpegCommand recordFfmpegCommand(const QString &encoder, const QString &clip, const QStringList &switches,
                                  const QString &output, const QString &folder)
{
    FfmpegCommand command;
    command.program = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (command.program.isEmpty()) {
        command.error = QStringLiteral("ffmpeg is not on the PATH");
        return command;
    }
    // The encoder takes an ffmpeg beside it before the PATH, and would pass the stand-in by.
    if (QFileInfo::exists(QFileInfo(encoder).absolutePath() + QStringLiteral("/ffmpeg"))) {
        command.error = QStringLiteral("an ffmpeg beside the encoder hides the recording stand-in");
        return command;
    }
    const QString standIn = folder + QStringLiteral("/ffmpeg");
    const QString record = folder + QStringLiteral("/arguments");
    QFile script(standIn);
    if (!script.open(QIODevice::WriteOnly) || script.write(StandIn) < 0 || !script.flush() ||
        !script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        command.error = QStringLiteral("cannot write the recording stand-in in ") + folder;
        return command;
    }
    script.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), folder + QLatin1Char(':') + environment.value(QStringLiteral("PATH")));
    environment.insert(QStringLiteral("VELKOR_BENCH_RECORD"), record);
    environment.insert(QStringLiteral("VELKOR_BENCH_FFMPEG"), command.program);
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setStandardOutputFile(QProcess::nullDevice());
    run.setStandardErrorFile(QProcess::nullDevice());
    run.start(encoder, QStringList{QStringLiteral("-y"), QStringLiteral("-i"), clip} + switches + QStringList{output});
    if (!run.waitForFinished(-1) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0) {
        command.error = QStringLiteral("the encoder failed on ") + clip;
        return command;
    }

    QFile recorded(record);
    if (!recorded.open(QIODevice::ReadOnly)) {
        command.error = QStringLiteral("the encoder did not run the recording stand-in");
        return command;
    }
    QByteArray bytes = recorded.readAll();
    bytes.chop(1); // the last argument's terminator
    for (const QByteArray &argument : bytes.split('\0'))
        command.arguments << QString::fromLocal8Bit(argument);
    command.inputAt = command.arguments.indexOf(QStringLiteral("file:") + clip);
    if (command.inputAt < 1 || command.arguments[command.inputAt - 1] != QStringLiteral("-i") ||
        !command.arguments.last().startsWith(QStringLiteral("file:")))
        command.error = QStringLiteral("the recorded command has no file: input after -i or no file: output last");
    return command;
}
