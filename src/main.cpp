#include "cli/headlessmain.h"
#include "core/platform/programfile.h"

#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    // A batch on a server, or from a script, needs neither a window nor a display.
    if (cli::wantsHeadless(argc, argv))
        return cli::runHeadless(argc, argv);

    // The window is a program of its own: loading its libraries would cost a command-line batch
    // more than its probe of every input does.
    const QString window = platform::programFolder() + QStringLiteral("/velkor-window");
    const QString error = platform::runInstead(window, argv);
    std::fprintf(stderr, "Cannot start the window, %s: %s\n", QFile::encodeName(window).constData(),
                 error.toLocal8Bit().constData());
    return 1;
}
