// The command line and the ".tmp" list file of input paths it may name.
#include "core/tasks/inputfiles.h"
#include "core/tasks/startupinputs.h"
#include "core/tasks/timetext.h"
#include "fuzz/fuzzinput.h"

#include <QDir>

namespace {

void checkPaths(const QStringList &paths)
{
    for (const QString &path : paths) {
        fuzz::check(!path.isEmpty(), "no empty path is named");
        fuzz::check(!path.contains(u'\r') && !path.contains(u'\n'), "a path is one line");
        // What adding an input does with the name before it touches the file.
        tasks::HasSupportedExtension(path);
        tasks::StripExtension(tasks::ExtractFileExt(path));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzz::bytesOf(data, size);

    // As a list file, whose name may be spelt in any case.
    const QString name = (size % 2) ? QStringLiteral("inputs.TMP") : QStringLiteral("inputs.tmp");
    const QString listPath = fuzz::writeScratchFile(name, input);
    const QStringList listed = tasks::startupInputPaths({listPath, QStringLiteral("ignored.avi")});
    checkPaths(listed);
    fuzz::check(listed.size() <= input.count('\n') + input.count('\r') + 1, "one path at most per line");

    // As arguments: each NUL ends one, as the system hands them over.
    QStringList arguments;
    for (const QByteArray &argument : input.split('\0'))
        arguments.append(QString::fromUtf8(argument));
    const QStringList named = tasks::startupInputPaths(arguments);
    if (tasks::asciiLower(tasks::ExtractFileExt(arguments.constFirst())) != QLatin1String(".tmp")) {
        fuzz::check(named.size() == arguments.size(), "arguments are the inputs themselves");
        for (qsizetype i = 0; i < named.size(); ++i)
            fuzz::check(arguments[i].isEmpty() ? named[i].isEmpty() : QDir::isAbsolutePath(named[i]),
                        "each input is made absolute");
    }
    return 0;
}
