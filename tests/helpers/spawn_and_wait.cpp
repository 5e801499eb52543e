// Starts the program given as arguments through the platform's process layer, passes on the
// child's first output (its pids) and then waits, so that a test can kill us and watch the
// child and its own children die with us.
#include "core/platform/qtchildprocess.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty())
        return 2;
    const QString program = arguments.takeFirst();
    platform::QtProcessLauncher launcher;
    auto child = launcher.create();
    if (!child->start(program, arguments))
        return 1;
    QByteArray seen;
    while (!seen.contains("child=") || !seen.endsWith('\n')) {
        const QByteArray bytes = child->read(4095, QDeadlineTimer::Forever).value_or(QByteArray());
        if (bytes.isEmpty())
            break;
        seen += bytes;
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
        std::fflush(stdout);
    }
    QThread::sleep(3600);
    return 0;
}
