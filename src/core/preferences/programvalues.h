#pragma once

#include "core/platform/pathdelimiter.h"
#include "core/preferences/filelocations.h"

#include <QString>
#include <QStringList>

namespace preferences {

inline const QString ProgramName = QStringLiteral("Velkor 3GP Video Converter");
inline const QString DefaultVersionText = QStringLiteral("2.1");
inline const QString EncoderFileName = QStringLiteral("wmaspi.dll");
inline const QString PreferencesFileName = QStringLiteral("Preferences.ini");
inline const QString ProfilesDirectoryName = QStringLiteral("Profiles");
inline const QString HelpFileName = QStringLiteral("velkor-help.html");

using platform::IncludeTrailingBackslash;

// The open dialog's filter, "Name|patterns|..." as the dialog service takes it.
QString OpenDialogFilter();

// Fixed once while the main window is created.
struct ProgramValues {
    QString programDirectory; // ends in the path delimiter
    QString encoderPath;
    QString versionText;
    FileLocations locations;

    const QString &preferencesPath() const { return locations.preferencesPath; }
    QString helpFilePath() const { return programDirectory + HelpFileName; }
    QString mainCaption() const { return ProgramName + QStringLiteral(" V") + versionText; }
};

// Reads the version text from the shipped Preferences.ini ("2.1" when missing): a user's copy of
// it keeps the version it was made with.
ProgramValues programValuesFor(const QString &executableDirectory);

} // namespace preferences
