#pragma once

#include <QListWidget>

namespace grids {

class KeyValueGrid;

// The drop-down of a pick-list row: the row's captions under its value cell. Choosing one
// replaces the value; Escape or a click elsewhere leaves it.
class PickListPopup : public QListWidget {
    Q_OBJECT

public:
    explicit PickListPopup(KeyValueGrid *grid);

    void showFor(int row);
    int row() const { return m_row; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void choose(const QListWidgetItem *item);

    KeyValueGrid *m_grid;
    int m_row = -1;
};

} // namespace grids
