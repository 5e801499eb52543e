#include "core/profiles/profilelist.h"

#include "core/platform/pathdelimiter.h"
#include "core/tasks/inputfiles.h"
#include "core/tasks/timetext.h"

#include <algorithm>

namespace profiles {

QList<ProfileEntry> ListProfiles(const QString &profilesDirectory)
{
    QString directory = profilesDirectory;
    if (!directory.isEmpty() && !directory.endsWith(platform::PathDelimiter))
        directory += platform::PathDelimiter;

    QList<ProfileEntry> entries;
    for (const QString &fileName : tasks::ListFilesWithExtension(directory, ProfileExtension))
        entries.append({tasks::StripExtension(fileName), directory + fileName});
    SortProfiles(entries);
    return entries;
}

void SortProfiles(QList<ProfileEntry> &entries)
{
    // Names that differ only in case keep one order too, so a stored position names one profile.
    std::sort(entries.begin(), entries.end(), [](const ProfileEntry &a, const ProfileEntry &b) {
        const int order = a.name.compare(b.name, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    });
}

QStringList ProfileNames(const QList<ProfileEntry> &entries)
{
    QStringList names;
    for (const ProfileEntry &entry : entries)
        names.append(entry.name);
    return names;
}

QString ProfilePathAt(const QList<ProfileEntry> &entries, int position)
{
    return position >= 0 && position < entries.size() ? entries.at(position).path : QString();
}

int StoredProfilePosition(const QList<ProfileEntry> &entries, int position, const QString &name)
{
    // In exact case: "Phone" and "phone" may both be listed.
    for (int listed = 0; listed < entries.size() && !name.isEmpty(); ++listed) {
        if (entries.at(listed).name == name)
            return listed;
    }
    return position >= 0 && position < entries.size() ? position : -1;
}

} // namespace profiles
