#include "core/preferences/preferencekeys.h"

#include "core/preferences/languagecodes.h"

namespace preferences {
namespace {
PreferenceKeys keysOf(const QString &section, const QString &defaultOutputDirectory, bool autoOpenDir)
{
    return {
        {section, QStringLiteral("Version"), QStringLiteral("2.1")},
        {section, QStringLiteral("Output Path"), defaultOutputDirectory},
        {section, QStringLiteral("Profile"), 0},
        {section, QStringLiteral("Profile Name"), QString()},
        {section, QStringLiteral("Syn Mode"), 0},
        {section, QStringLiteral("Auto Open Dir"), autoOpenDir},
        {section, QStringLiteral("Auto Exit"), false},
        {section, QStringLiteral("Auto Turn Off"), false},
        {section, QStringLiteral("Overwrite"), true},
        {section, QStringLiteral("Jobs"), 1},
        {section, QStringLiteral("Priority"), 1},
        {section, QStringLiteral("Audio languages"), localeLanguageCode()},
        {section, QStringLiteral("Subtitle languages"), localeLanguageCode()},
    };
}
} // namespace

PreferenceKeys mainKeys(const QString &defaultOutputDirectory)
{
    return keysOf(QStringLiteral("Main"), defaultOutputDirectory, true);
}

PreferenceKeys defaultKeys(const QString &defaultOutputDirectory)
{
    // Unlike "Main", a missing "Auto Open Dir" here means off.
    return keysOf(QStringLiteral("Default"), defaultOutputDirectory, false);
}

} // namespace preferences
