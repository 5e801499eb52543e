#include "gui/grids/keyvaluecelldelegate.h"

#include "gui/grids/keyvaluegrid.h"

#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionButton>

namespace grids {

namespace {

constexpr int TextMargin = 2;

} // namespace

CellColours ParameterCellColours(const CellState &cell, const QPalette &palette)
{
    const QColor text = palette.color(QPalette::Text);
    const QColor window = palette.color(QPalette::Base);
    if (cell.valueColumn)
        return {cell.fixedRow ? FixedValueTextColour : text, window};
    if (!cell.currentRow)
        return {text, palette.color(QPalette::Button)};
    return {text, cell.gridHasFocus ? CurrentKeyFocusColour : window};
}

KeyValueCellDelegate::KeyValueCellDelegate(KeyValueGrid *grid) : QStyledItemDelegate(grid), m_grid(grid)
{}

void KeyValueCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int row = index.row();
    CellState cell;
    cell.valueColumn = index.column() == KeyValueGrid::ValueColumn;
    cell.fixedRow = m_grid->isFixed(row);
    cell.currentRow = row == m_grid->currentRow();
    cell.gridHasFocus = m_grid->hasFocusWithin();
    const CellColours colours = ParameterCellColours(cell, m_grid->palette());

    QRect textRect = option.rect.adjusted(TextMargin, 0, -TextMargin, 0);
    const bool dropDown =
        cell.valueColumn && cell.currentRow && m_grid->editStyle(row) == KeyValueGrid::EditStyle::PickList;
    const QRect buttonRect = m_grid->dropDownButtonRect(row);
    if (dropDown)
        textRect.setRight(buttonRect.left() - TextMargin);

    painter->save();
    painter->fillRect(option.rect, colours.background);
    painter->setPen(colours.text);
    painter->setFont(option.font);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, index.data().toString());
    painter->restore();
    if (dropDown)
        paintDropDownButton(painter, buttonRect);
}

void KeyValueCellDelegate::paintDropDownButton(QPainter *painter, const QRect &rect) const
{
    QStyleOptionButton button;
    button.initFrom(m_grid);
    button.rect = rect;
    button.state |= QStyle::State_Raised;
    QStyle *style = m_grid->style();
    style->drawControl(QStyle::CE_PushButtonBevel, &button, painter, m_grid);
    QStyleOption arrow = button;
    arrow.rect = rect.adjusted(3, 4, -3, -4);
    style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, m_grid);
}

QWidget *KeyValueCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                            const QModelIndex &index) const
{
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setAccessibleName(m_grid->key(index.row()));
    return editor;
}

void KeyValueCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        line->setText(index.data().toString());
}

void KeyValueCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const
{
    // Through the grid, so that a changed value is announced as a committed edit.
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        m_grid->acceptTypedValue(index.row(), line->text());
}

void KeyValueCellDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                                const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

} // namespace grids
