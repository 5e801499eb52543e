#include "core/profiles/profilefolders.h"

#include <QFileInfo>

#include <algorithm>

namespace profiles {
namespace {

int indexOfFileName(const QList<ProfileEntry> &entries, const QString &fileName)
{
    for (int index = 0; index < entries.size(); ++index) {
        if (QFileInfo(entries.at(index).path).fileName() == fileName)
            return index;
    }
    return -1;
}

} // namespace

QList<ProfileEntry> ListProfiles(const QString &shippedDirectory, const QString &userDirectory)
{
    QList<ProfileEntry> entries = ListProfiles(shippedDirectory);
    if (userDirectory.isEmpty())
        return entries;
    for (const ProfileEntry &own : ListProfiles(userDirectory)) {
        const int shipped = indexOfFileName(entries, QFileInfo(own.path).fileName());
        if (shipped >= 0)
            entries[shipped] = own;
        else
            entries.append(own);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const ProfileEntry &a, const ProfileEntry &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return entries;
}

void ReplaceProfileFile(QList<ProfileEntry> &entries, const QString &profilePath)
{
    const int index = indexOfFileName(entries, QFileInfo(profilePath).fileName());
    if (index >= 0)
        entries[index].path = profilePath;
}

} // namespace profiles
