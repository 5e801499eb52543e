#pragma once

#include "core/profiles/profiledata.h"

#include <functional>

namespace profiles {

// The text the grid numbered grid (1 Video, 2 Audio, 3 Advanced) shows for the row key, keys
// compared without regard to case; empty when there is no such row.
using ShownValue = std::function<QString(int grid, const QString &key)>;

// " cmd value" for every parameter that contributes, in profile order: empty or beginning with a
// blank. A value the user typed (a free one, a custom size) is quoted when it holds blanks or
// double quotes, so that it stays one argument; nothing else is. A value "\" passes the switch
// alone, as " cmd ".
QString BuildParameterString(const ProfileData &profile, const ShownValue &shownValue);

// Reads the file with the platform's INI reader; empty when it does not exist.
QString BuildParameterString(const QString &profilePath, const ShownValue &shownValue);

} // namespace profiles
