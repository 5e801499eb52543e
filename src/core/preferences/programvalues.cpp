#include "core/preferences/programvalues.h"

#include "core/platform/inifile.h"
#include "core/platform/pathdelimiter.h"
#include "core/tasks/inputfiles.h"

namespace preferences {

QString OpenDialogFilter()
{
    const QString mask = tasks::SupportedFilesMask();
    QString filter = QStringLiteral("All Support Files(") + mask + QStringLiteral(")|") + mask + QLatin1Char('|');
    for (const QString &extension : tasks::SupportedInputExtensions()) {
        const QString upper = extension.mid(1).toUpper();
        filter +=
            upper + QStringLiteral(" Files (*") + extension + QStringLiteral(")|*") + extension + QLatin1Char('|');
    }
    return filter + QStringLiteral("All Files (*.*)|*.*");
}

ProgramValues programValuesFor(const QString &executableDirectory)
{
    ProgramValues values;
    values.programDirectory = IncludeTrailingBackslash(executableDirectory);
    values.encoderPath = values.programDirectory + EncoderFileName;
    values.locations = fileLocationsFor(values.programDirectory);
    values.versionText = platform::IniFile(values.locations.shippedPreferencesPath)
                             .ReadString(QStringLiteral("Main"), QStringLiteral("Version"), DefaultVersionText);
    return values;
}

} // namespace preferences
