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

// The profiles directly inside profilesDirectory whose extension is ".vkp" in any case, sorted
// by SortProfiles. Empty when the directory is missing.
QList<ProfileEntry> ListProfiles(const QString &profilesDirectory);

// By name without regard to case, as directory listings elsewhere give them rather than in the
// file system's own order; "Profile" in Preferences.ini is a position in this order.
void SortProfiles(QList<ProfileEntry> &entries);

QStringList ProfileNames(const QList<ProfileEntry> &entries);

// The file of the profile at position in a list of these entries; empty for no position.
QString ProfilePathAt(const QList<ProfileEntry> &entries, int position);

// The position of a profile stored as its position and its name: where the name is listed now,
// else the stored position (files written before names were kept); -1 when that is off the list.
int StoredProfilePosition(const QList<ProfileEntry> &entries, int position, const QString &name);

} // namespace profiles
