#pragma once

#include <QList>
#include <QScrollArea>

class QVBoxLayout;

namespace profiles {
enum class DesignedGrid;
}

namespace grids {

class GridSection;
class KeyValueGrid;

// Grid sections stacked top-down on the window colour, so that collapsing one moves the ones
// below it up; scrolls when they are taller than the space given.
class GridSectionStack : public QScrollArea {
    Q_OBJECT

public:
    explicit GridSectionStack(QWidget *parent = nullptr);

    GridSection *addSection(const QString &groupName, int keyColumnWidth);
    QList<GridSection *> sections() const { return m_sections; }
    // A section for one of the designed grids, named as both windows name it ("btnVideo",
    // "vleVideo") and holding the designed rows. Returns its grid.
    KeyValueGrid *addDesignedSection(profiles::DesignedGrid which, int keyColumnWidth);

    // Wide enough for every section's keys and values beside the vertical scroll bar: the stack
    // never scrolls sideways, so what is narrower than this is cut.
    QSize minimumSizeHint() const override;

    // A press in any grid repaints them all, so that only the focused one marks its current row.
    void repaintGrids();

private:
    QVBoxLayout *m_layout;
    QList<GridSection *> m_sections;
};

} // namespace grids
