#pragma once

#include <QString>

namespace preferences {

// The folder, in the user's configuration and data folders, that holds their own files when the
// program directory is shared.
inline const QString UserFolderName = QStringLiteral("velkor");
// Installed beside the executable by a system-wide installation, so that even a user who may
// write there (root) keeps the files the package manager owns as they were shipped.
inline const QString SystemWideMarkerName = QStringLiteral("system-wide");

// Where Preferences.ini, the profiles, the default output folder and the task journal live. A program directory
// the user can write keeps them all beside the executable; a shared one keeps the shipped files
// untouched and the user's own copies in the home folder.
struct FileLocations {
    bool portable = true;
    QString shippedPreferencesPath;
    QString preferencesPath;
    QString shippedProfilesDirectory;
    QString userProfilesDirectory;  // empty when portable: the shipped folder is the user's
    QString defaultOutputDirectory; // ends in the path delimiter
    // Where the window keeps the journal of its task list.
    QString journalDirectory;

    // Where profiles are saved: never over the shipped ones of a shared program directory.
    QString writableProfilesDirectory() const { return portable ? shippedProfilesDirectory : userProfilesDirectory; }
};

// programDirectory ends in the path delimiter. Creates nothing.
FileLocations fileLocationsFor(const QString &programDirectory);

// A shared program directory's user starts with a copy of the shipped Preferences.ini. False, with
// the reason, when the copy was needed and could not be made.
bool makeUserPreferences(const FileLocations &locations, QString *errorString = nullptr);

// The Preferences.ini to read without writing anything: the user's own when they have one, else
// the shipped one.
QString readablePreferencesPath(const FileLocations &locations);

// outputDirectory itself, unless the program directory is shared and it is no folder the user can
// write: then the default output folder, created if missing.
QString usableOutputDirectory(const FileLocations &locations, const QString &outputDirectory);

bool isWritableDirectory(const QString &path);

} // namespace preferences
