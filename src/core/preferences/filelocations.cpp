#include "core/preferences/filelocations.h"

#include "core/platform/atomicsave.h"
#include "core/platform/pathdelimiter.h"
#include "core/preferences/programvalues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace preferences {
namespace {

// QStandardPaths' App locations follow the application name, which the window sets to the
// program's title; the folder name stays fixed instead.
QString userFolder(QStandardPaths::StandardLocation base)
{
    return QStandardPaths::writableLocation(base) + platform::PathDelimiter + UserFolderName;
}

} // namespace

bool isWritableDirectory(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isDir() && info.isWritable();
}

FileLocations fileLocationsFor(const QString &programDirectory)
{
    FileLocations locations;
    locations.shippedPreferencesPath = programDirectory + PreferencesFileName;
    locations.shippedProfilesDirectory = programDirectory + ProfilesDirectoryName;
    const QFileInfo shippedPreferences(locations.shippedPreferencesPath);
    locations.portable = isWritableDirectory(programDirectory) &&
                         !QFileInfo::exists(programDirectory + SystemWideMarkerName) &&
                         (!shippedPreferences.exists() || shippedPreferences.isWritable());
    if (locations.portable) {
        locations.preferencesPath = locations.shippedPreferencesPath;
        locations.defaultOutputDirectory = programDirectory;
        locations.journalDirectory = programDirectory;
        return locations;
    }
    locations.preferencesPath =
        IncludeTrailingBackslash(userFolder(QStandardPaths::GenericConfigLocation)) + PreferencesFileName;
    const QString userData = IncludeTrailingBackslash(userFolder(QStandardPaths::GenericDataLocation));
    locations.userProfilesDirectory = userData + ProfilesDirectoryName;
    locations.journalDirectory = userData;
    locations.defaultOutputDirectory =
        IncludeTrailingBackslash(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation));
    return locations;
}

bool makeUserPreferences(const FileLocations &locations, QString *errorString)
{
    if (locations.portable || QFileInfo::exists(locations.preferencesPath))
        return true;
    QFile shipped(locations.shippedPreferencesPath);
    // Without a shipped file every key takes its default, as in a portable directory.
    if (!shipped.exists())
        return true;
    if (!shipped.open(QIODevice::ReadOnly)) {
        if (errorString)
            *errorString = shipped.errorString();
        return false;
    }
    const QByteArray content = shipped.readAll();
    if (!QDir().mkpath(QFileInfo(locations.preferencesPath).absolutePath())) {
        if (errorString)
            *errorString = QStringLiteral("The folder of \"%1\" cannot be created.").arg(locations.preferencesPath);
        return false;
    }
    return platform::saveFileAtomically(locations.preferencesPath, content, errorString);
}

QString readablePreferencesPath(const FileLocations &locations)
{
    return QFileInfo::exists(locations.preferencesPath) ? locations.preferencesPath : locations.shippedPreferencesPath;
}

QString usableOutputDirectory(const FileLocations &locations, const QString &outputDirectory)
{
    if (locations.portable || isWritableDirectory(outputDirectory))
        return outputDirectory;
    QDir().mkpath(locations.defaultOutputDirectory);
    return locations.defaultOutputDirectory;
}

} // namespace preferences
