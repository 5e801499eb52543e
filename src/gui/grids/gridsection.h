#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace grids {

class KeyValueGrid;

// A group of parameters: a header bar with a "-"/"+" button, and the grid it collapses and
// expands below it.
class GridSection : public QWidget {
    Q_OBJECT

public:
    static constexpr int HeaderBarHeight = 18;
    static constexpr int CollapsedGridHeight = 1;

    GridSection(const QString &groupName, int keyColumnWidth, QWidget *parent = nullptr);

    QString groupName() const { return m_groupName; }
    KeyValueGrid *grid() const { return m_grid; }
    QToolButton *button() const { return m_button; }
    QLabel *headerBar() const { return m_headerBar; }

    // The main window's header bars toggle on a double-click too; the settings dialog's do not.
    void setHeaderDoubleClickToggles(bool toggles) { m_headerDoubleClickToggles = toggles; }
    bool isExpanded() const;
    // The button's click: expand when it shows "+", else collapse.
    void toggle();

    // Each row and its grid line, and one pixel more.
    static int expandedGridHeight(int rows);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_groupName;
    QLabel *m_headerBar;
    QToolButton *m_button;
    KeyValueGrid *m_grid;
    bool m_headerDoubleClickToggles = false;
};

} // namespace grids
