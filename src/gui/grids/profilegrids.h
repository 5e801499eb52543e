#pragma once

#include "core/profiles/designedrows.h"
#include "core/profiles/parameterstring.h"
#include "core/profiles/profiledata.h"

#include <optional>

class QWidget;

namespace platform {
class Dialogs;
}

namespace grids {

class KeyValueGrid;

// The three grids a profile fills, by their Sort numbers.
struct ProfileGrids {
    KeyValueGrid *video = nullptr;
    KeyValueGrid *audio = nullptr;
    KeyValueGrid *advanced = nullptr;

    KeyValueGrid *byNumber(int grid) const;
};

// The rows the grid shows before any profile is loaded, keys only, all of them in view.
void FillDesignedRows(KeyValueGrid &grid, profiles::DesignedGrid which);

// 18 pixels a row, a grid without rows counting as one.
int LoadedGridHeight(int rows);

// Replaces the three grids' rows by the profile's parameters and gives each grid its loaded
// height, whether or not its section is collapsed. Returns the output extension.
QString FillProfileGrids(const profiles::ProfileData &profile, const ProfileGrids &grids);

// Fills the grids from a profile already read; a damaged one is reported with a message owned by
// owner and leaves the grids as they were. The output extension, or nothing when rejected.
std::optional<QString> LoadReadProfile(const profiles::ProfileData &profile, const QString &profilePath,
                                       const ProfileGrids &grids, platform::Dialogs &dialogs, QWidget *owner);

// The main window's load, through the platform's INI reader; nothing changes when the file is
// missing.
std::optional<QString> LoadProfile(const QString &profilePath, const ProfileGrids &grids, platform::Dialogs &dialogs,
                                   QWidget *owner);

// What BuildParameterString reads from the grids.
profiles::ShownValue ShownValueOf(const ProfileGrids &grids);

} // namespace grids
