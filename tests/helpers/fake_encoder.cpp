// Plays a script given as arguments, or in FAKE_ENCODER_SCRIPT separated by "|", one step each:
//   out:TEXT   writes TEXT (\n and \r escapes allowed) and flushes
//   big:N      writes N bytes of 'x'
//   sleep:MS   stays silent for MS milliseconds
//   ignore-term  ignores SIGTERM from now on
//   child      starts a grandchild that sleeps, and writes "child=PID\n"
//   pid        writes "pid=PID\n" with its own pid
//   args       writes each of its own arguments on a line as "arg=<text>"
//   crash      aborts
//   exit:CODE  exits with CODE (the default at the end is 0)
#include "core/platform/childprocess.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {
void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray script = qgetenv("FAKE_ENCODER_SCRIPT");
    const QStringList steps =
        script.isEmpty() ? app.arguments().mid(1) : QString::fromUtf8(script).split(QLatin1Char('|'));
    QProcess grandchild;
    if (steps.value(0) == QLatin1String("sleep-forever")) {
        QThread::sleep(3600);
        return 0;
    }
    for (const QString &step : steps) {
        const QString value = step.section(QLatin1Char(':'), 1);
        if (step.startsWith(QLatin1String("out:"))) {
            QString text = value;
            writeOut(text.replace(QLatin1String("\\n"), QLatin1String("\n"))
                         .replace(QLatin1String("\\r"), QLatin1String("\r"))
                         .toUtf8());
        } else if (step.startsWith(QLatin1String("big:"))) {
            writeOut(QByteArray(value.toInt(), 'x'));
        } else if (step.startsWith(QLatin1String("sleep:"))) {
            QThread::msleep(value.toULong());
        } else if (step == QLatin1String("ignore-term")) {
            std::signal(SIGTERM, SIG_IGN);
        } else if (step == QLatin1String("child")) {
            // As the real encoder does with FFmpeg: same group, dies with us.
            platform::confineChildProcess(grandchild, platform::ProcessGroup::Inherit);
            grandchild.start(app.applicationFilePath(), {QStringLiteral("sleep-forever")});
            grandchild.waitForStarted();
            writeOut("child=" + QByteArray::number(grandchild.processId()) + "\n");
        } else if (step == QLatin1String("pid")) {
            writeOut("pid=" + QByteArray::number(QCoreApplication::applicationPid()) + "\n");
        } else if (step == QLatin1String("args")) {
            for (const QString &argument : app.arguments().mid(1))
                writeOut("arg=" + argument.toUtf8() + "\n");
        } else if (step == QLatin1String("crash")) {
            std::abort();
        } else if (step.startsWith(QLatin1String("exit:"))) {
            grandchild.waitForFinished(0);
            std::_Exit(value.toInt());
        }
    }
    return 0;
}
