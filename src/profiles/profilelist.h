#pragma once

#include <QList>
#include <QString>

namespace profiles {

inline const QString ProfileExtension = QStringLiteral(".vkp");

struct ProfileEntry {
    QString name; // as the profile list shows it: the file name without its extension
    // The file as listed. Appending ".vkp" to the name would miss "Phone.VKP" on a file system
    // whose names are case-sensitive.
    QString path;
};

// The profiles directly inside profilesDirectory whose extension is ".vkp" in any case, in the
// order the directory listing yields them. Empty when the directory is missing.
QList<ProfileEntry> ListProfiles(const QString &profilesDirectory);

QStringList ProfileNames(const QList<ProfileEntry> &entries);

} // namespace profiles
