#include "preferencekeys.h"

namespace preferences {
namespace {
PreferenceKeys keysOf(const QString &section, const QString &programDirectory, bool autoOpenDir)
{
    return {
        {section, QStringLiteral("Version"), QStringLiteral("2.1")},
        {section, QStringLiteral("Output Path"), programDirectory},
        {section, QStringLiteral("Profile"), 0},
        {section, QStringLiteral("Syn Mode"), 0},
        {section, QStringLiteral("Auto Open Dir"), autoOpenDir},
        {section, QStringLiteral("Auto Exit"), false},
        {section, QStringLiteral("Auto Turn Off"), false},
        {section, QStringLiteral("Overwrite"), true},
    };
}
} // namespace

PreferenceKeys mainKeys(const QString &programDirectory)
{
    return keysOf(QStringLiteral("Main"), programDirectory, true);
}

PreferenceKeys defaultKeys(const QString &programDirectory)
{
    // Unlike "Main", a missing "Auto Open Dir" here means off.
    return keysOf(QStringLiteral("Default"), programDirectory, false);
}

} // namespace preferences
