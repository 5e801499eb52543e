#include "profilegrids.h"

#include "gridsection.h"
#include "keyvaluegrid.h"
#include "parametersettings.h"
#include "profilecheck.h"
#include "profilereading.h"

#include <desktopapi.h>

#include <QFileInfo>

namespace profiles {

namespace {

constexpr int LoadedRowHeight = 18;

void appendParameterRow(KeyValueGrid &grid, const ProfileParameter &parameter)
{
    const int row = grid.appendRow(parameter.name);
    grid.setReadOnly(row, parameter.readOnly);
    if (parameter.kind() == ParameterKind::PickList) {
        grid.setEditStyle(row, KeyValueGrid::EditStyle::PickList);
        grid.setPickList(row, parameter.captions());
        // Whatever the file says, a pick list is only chosen from.
        grid.setReadOnly(row, true);
    }
    grid.setValue(row, LoadedShownValue(parameter));
}

} // namespace

KeyValueGrid *ProfileGrids::byNumber(int grid) const
{
    switch (grid) {
    case VideoGrid:
        return video;
    case AudioGrid:
        return audio;
    case AdvancedGrid:
        return advanced;
    default:
        return nullptr;
    }
}

void FillDesignedRows(KeyValueGrid &grid, DesignedGrid which)
{
    grid.clearRows();
    for (const QString &key : DesignedRowKeys(which))
        grid.appendRow(key);
    grid.setFixedHeight(GridSection::expandedGridHeight(grid.rowCount()));
}

int LoadedGridHeight(int rows)
{
    return LoadedRowHeight * qMax(rows, 1);
}

QString FillProfileGrids(const ProfileData &profile, const ProfileGrids &grids)
{
    const QList<KeyValueGrid *> all = {grids.video, grids.audio, grids.advanced};
    for (KeyValueGrid *grid : all)
        grid->clearRows();
    for (const ProfileParameter &parameter : profile.parameters) {
        if (KeyValueGrid *grid = grids.byNumber(parameter.grid))
            appendParameterRow(*grid, parameter);
    }
    for (KeyValueGrid *grid : all)
        grid->setFixedHeight(LoadedGridHeight(grid->rowCount()));
    return profile.outputExtension();
}

std::optional<QString> LoadReadProfile(const ProfileData &profile, const QString &profilePath,
                                       const ProfileGrids &grids, platform::Dialogs &dialogs, QWidget *owner)
{
    if (const auto problem = ProfileProblem(profile, profilePath)) {
        dialogs.messageBox(owner, ProfileProblemCaption, *problem, platform::MessageIcon::Information,
                           platform::MessageButton::Ok);
        return std::nullopt;
    }
    return FillProfileGrids(profile, grids);
}

std::optional<QString> LoadProfile(const QString &profilePath, const ProfileGrids &grids,
                                   platform::Dialogs &dialogs, QWidget *owner)
{
    if (!QFileInfo(profilePath).isFile())
        return std::nullopt;
    return LoadReadProfile(ReadProfileFile(profilePath), profilePath, grids, dialogs, owner);
}

ShownValue ShownValueOf(const ProfileGrids &grids)
{
    return [grids](int grid, const QString &key) {
        const KeyValueGrid *shownIn = grids.byNumber(grid);
        return shownIn ? shownIn->valueOf(key) : QString();
    };
}

} // namespace profiles
