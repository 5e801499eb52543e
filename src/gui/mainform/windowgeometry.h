#pragma once

#include <array>

namespace mainform {

// No column, bar or panel is ever laid out narrower than this.
inline constexpr int MinimumWidth = 8;
inline constexpr int DesignedMainAreaWidth = 580;

struct BottomBarGeometry {
    int faceWidth;
    int settingLeft;
    int profileWidth;
    int openLeft;
    int browserLeft;
    int outputDirWidth;
    int progressLabelLeft;
    int progressBarWidth;
};

// Where the bottom bar's right-hand controls go for a main area W pixels wide; the left edges of
// the combo box, the edit field and the bars never move.
BottomBarGeometry bottomBarFor(int mainAreaWidth);

using TaskColumnWidths = std::array<int, 4>;
inline constexpr int InitialRememberedListWidth = 562;

// Spreads a change of the task list's width over its four columns by fixed shares, each share
// rounded half to even; the rounding error is not carried to the next change.
TaskColumnWidths spreadColumns(const TaskColumnWidths &widths, int oldListWidth, int newListWidth);

// The right panel's width after the splitter bar was dragged to x (relative to the bar), kept
// between MinimumWidth and maxWidth.
int rightPanelWidthAfterDrag(int width, int x, int maxWidth);

} // namespace mainform
