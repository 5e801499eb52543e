#pragma once

#include <pathdelimiter.h>

#include <QString>
#include <QStringList>

namespace app {

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

    QString preferencesPath() const { return programDirectory + PreferencesFileName; }
    QString helpFilePath() const { return programDirectory + HelpFileName; }
    QString mainCaption() const { return ProgramName + QStringLiteral(" V") + versionText; }
};

// Reads the version text from the program directory's Preferences.ini ("2.1" when missing).
ProgramValues programValuesFor(const QString &executableDirectory);

} // namespace app
