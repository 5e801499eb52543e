#pragma once

#include <QColor>
#include <QStyledItemDelegate>

class QPalette;

namespace grids {

class KeyValueGrid;

// The designed colours: fixed values in silver, and the selection blue that marks the current
// key cell of the focused grid only.
inline const QColor FixedValueTextColour = QColor(192, 192, 192);
inline const QColor CurrentKeyFocusColour = QColor(49, 106, 197);

struct CellState {
    bool valueColumn = false;
    bool fixedRow = false; // read-only plain text
    bool currentRow = false;
    bool gridHasFocus = false;
};

struct CellColours {
    QColor text;
    QColor background;
};

// A value cell, current or not, is never drawn on the selection colour; a key cell is on the
// button face except in the current row.
CellColours ParameterCellColours(const CellState &cell, const QPalette &palette);

// Draws the grid's cells by those colours, a drop-down button on the current pick-list value,
// and gives typable rows a line editor whose value reaches the grid when the edit is committed.
class KeyValueCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit KeyValueCellDelegate(KeyValueGrid *grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

private:
    void paintDropDownButton(QPainter *painter, const QRect &rect) const;

    KeyValueGrid *m_grid;
};

} // namespace grids
