#include "gui/mainform/windowgeometry.h"

#include "core/tasks/rtlnumbers.h"

#include <algorithm>

namespace mainform {

BottomBarGeometry bottomBarFor(int mainAreaWidth)
{
    BottomBarGeometry g{};
    g.faceWidth = std::max(mainAreaWidth, MinimumWidth);
    g.settingLeft = g.faceWidth - 90;
    g.profileWidth = std::max(g.settingLeft - 83, MinimumWidth);
    g.openLeft = g.faceWidth - 90;
    g.browserLeft = g.openLeft - 85;
    g.outputDirWidth = std::max(g.browserLeft - 83, MinimumWidth);
    g.progressLabelLeft = g.faceWidth - 27;
    g.progressBarWidth = std::max(g.progressLabelLeft - 123, MinimumWidth);
    return g;
}

TaskColumnWidths spreadColumns(const TaskColumnWidths &widths, int oldListWidth, int newListWidth)
{
    static constexpr double Shares[] = {0.49, 0.17, 0.15, 0.19};
    TaskColumnWidths spread = widths;
    const double change = newListWidth - oldListWidth;
    for (std::size_t column = 0; column < spread.size(); ++column) {
        const int width = widths[column] + int(tasks::roundHalfEven(change * Shares[column]));
        spread[column] = std::max(width, MinimumWidth);
    }
    return spread;
}

int rightPanelWidthAfterDrag(int width, int x, int maxWidth)
{
    return std::clamp(width - x + 5, MinimumWidth, std::max(maxWidth, MinimumWidth));
}

} // namespace mainform
