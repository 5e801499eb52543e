#include "gui/grids/profilegrids.h"

#include "core/platform/desktopapi.h"
#include "core/profiles/parametersettings.h"
#include "core/profiles/profilecheck.h"
#include "core/profiles/profilereading.h"
#include "gui/grids/gridsection.h"
#include "gui/grids/keyvaluegrid.h"

#include <QFileInfo>

namespace grids {

namespace {

constexpr int LoadedRowHeight = 18;

void appendParameterRow(KeyValueGrid &grid, const profiles::ProfileParameter &parameter)
{
    const int row = grid.appendRow(parameter.name);
    grid.setReadOnly(row, parameter.readOnly);
    if (parameter.kind() == profiles::ParameterKind::PickList) {
        grid.setEditStyle(row, KeyValueGrid::EditStyle::PickList);
        grid.setPickList(row, parameter.captions());
        // Whatever the file says, a pick list is only chosen from.
        grid.setReadOnly(row, true);
    }
    grid.setValue(row, profiles::LoadedShownValue(parameter));
}

} // namespace

KeyValueGrid *ProfileGrids::byNumber(int grid) const
{
    switch (grid) {
    case profiles::VideoGrid:
        return video;
    case profiles::AudioGrid:
        return audio;
    case profiles::AdvancedGrid:
        return advanced;
    default:
        return nullptr;
    }
}

void FillDesignedRows(KeyValueGrid &grid, profiles::DesignedGrid which)
{
    grid.clearRows();
    for (const QString &key : profiles::DesignedRowKeys(which))
        grid.appendRow(key);
    grid.setFixedHeight(GridSection::expandedGridHeight(grid.rowCount()));
}

int LoadedGridHeight(int rows)
{
    return LoadedRowHeight * qMax(rows, 1);
}

QString FillProfileGrids(const profiles::ProfileData &profile, const ProfileGrids &grids)
{
    const QList<KeyValueGrid *> all = {grids.video, grids.audio, grids.advanced};
    for (KeyValueGrid *grid : all)
        grid->clearRows();
    for (const profiles::ProfileParameter &parameter : profile.parameters) {
        if (KeyValueGrid *grid = grids.byNumber(parameter.grid))
            appendParameterRow(*grid, parameter);
    }
    for (KeyValueGrid *grid : all)
        grid->setFixedHeight(LoadedGridHeight(grid->rowCount()));
    return profile.outputExtension();
}

std::optional<QString> LoadReadProfile(const profiles::ProfileData &profile, const QString &profilePath,
                                       const ProfileGrids &grids, platform::Dialogs &dialogs, QWidget *owner)
{
    if (const auto problem = profiles::ProfileProblem(profile, profilePath)) {
        dialogs.messageBox(owner, profiles::ProfileProblemCaption, *problem, platform::MessageIcon::Information,
                           platform::MessageButton::Ok);
        return std::nullopt;
    }
    return FillProfileGrids(profile, grids);
}

std::optional<QString> LoadProfile(const QString &profilePath, const ProfileGrids &grids, platform::Dialogs &dialogs,
                                   QWidget *owner)
{
    if (!QFileInfo(profilePath).isFile())
        return std::nullopt;
    return LoadReadProfile(profiles::ReadProfileFile(profilePath), profilePath, grids, dialogs, owner);
}

profiles::ShownValue ShownValueOf(const ProfileGrids &grids)
{
    return [grids](int grid, const QString &key) {
        const KeyValueGrid *shownIn = grids.byNumber(grid);
        return shownIn ? shownIn->valueOf(key) : QString();
    };
}

} // namespace grids
