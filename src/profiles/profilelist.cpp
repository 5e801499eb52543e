#include "profilelist.h"

#include <inputfiles.h>
#include <pathdelimiter.h>
#include <timetext.h>

namespace profiles {

QList<ProfileEntry> ListProfiles(const QString &profilesDirectory)
{
    QString directory = profilesDirectory;
    if (!directory.isEmpty() && !directory.endsWith(platform::PathDelimiter))
        directory += platform::PathDelimiter;

    QList<ProfileEntry> entries;
    for (const QString &fileName : tasks::ListFilesWithExtension(directory, ProfileExtension))
        entries.append({tasks::StripExtension(fileName), directory + fileName});
    return entries;
}

QStringList ProfileNames(const QList<ProfileEntry> &entries)
{
    QStringList names;
    for (const ProfileEntry &entry : entries)
        names.append(entry.name);
    return names;
}

} // namespace profiles
