#pragma once

#include "core/profiles/profilelist.h"

namespace profiles {

// The shipped profiles with the user's own over them: a user's file with the file name of a
// shipped one takes its place in the list. Sorted by name without regard to case. Without a user
// folder, the shipped list as it is.
QList<ProfileEntry> ListProfiles(const QString &shippedDirectory, const QString &userDirectory);

// Points the entry listed from a file of the same name as profilePath at profilePath.
void ReplaceProfileFile(QList<ProfileEntry> &entries, const QString &profilePath);

} // namespace profiles
