#include "gui/grids/keyvaluegrid.h"

#include "core/profiles/splitlist.h"
#include "gui/grids/keyvaluecelldelegate.h"
#include "gui/grids/picklistpopup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace grids {
namespace {

// Row properties live on the key cell, which the user never edits.
constexpr int ReadOnlyRole = Qt::UserRole + 1;
constexpr int EditStyleRole = Qt::UserRole + 2;
constexpr int PickListRole = Qt::UserRole + 3;

constexpr int GridLineWidth = 1;
constexpr int ColumnBoundaryReach = 2;
constexpr int SmallestColumnWidth = 8;
constexpr int DropDownButtonWidth = 16;
constexpr int CellTextMargin = 2; // each side, as the cell delegate draws

} // namespace

KeyValueGrid::KeyValueGrid(int keyColumnWidth, QWidget *parent)
    : QTableWidget(0, 2, parent)
    , m_keyColumnWidth(keyColumnWidth)
{
    setItemDelegate(new KeyValueCellDelegate(this));
    setFrameShape(QFrame::NoFrame);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(RowHeight + GridLineWidth);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(SmallestColumnWidth);
    // The columns are fitted to the width by fitColumns: a stretched last section of QHeaderView
    // keeps its default width as a floor and pushes the keys out of view.
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollMode(ScrollPerPixel);
    setColumnWidth(KeyColumn, keyColumnWidth);
    connect(this, &KeyValueGrid::StringsChange, this, [this] {
        // Wider keys widen the column again; a column the user made narrower stays so otherwise.
        m_keyColumnWidth = qMax(m_keyColumnWidth, keyColumnNeeds());
        fitColumns();
        updateGeometry();
    });
    // The sections give the grid the height of its rows, so it never scrolls itself.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setTabKeyNavigation(false);
    setWordWrap(false);
    viewport()->setMouseTracking(true);
    // The headers are hidden, and the corner button that selects everything with them.
    setCornerButtonEnabled(false);
    for (QAbstractButton *corner : findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly))
        corner->setAccessibleName(QStringLiteral("Select all"));
}

int KeyValueGrid::appendRow(const QString &key, const QString &value)
{
    const int row = rowCount();
    insertRow(row);
    auto *keyItem = new QTableWidgetItem(key);
    keyItem->setFlags(Qt::ItemIsEnabled);
    keyItem->setData(ReadOnlyRole, false);
    keyItem->setData(EditStyleRole, static_cast<int>(EditStyle::PlainText));
    setItem(row, KeyColumn, keyItem);
    setItem(row, ValueColumn, new QTableWidgetItem(value));
    updateValueFlags(row);
    // Like the designed grid, a grid with rows always has a current row.
    if (!currentIndex().isValid())
        setCurrentCell(row, ValueColumn);
    emit StringsChange();
    return row;
}

void KeyValueGrid::clearRows()
{
    if (m_popup)
        m_popup->hide();
    setRowCount(0);
    emit StringsChange();
}

int KeyValueGrid::findRow(const QString &key) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (this->key(row).compare(key, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

QString KeyValueGrid::key(int row) const
{
    const QTableWidgetItem *cell = item(row, KeyColumn);
    return cell ? cell->text() : QString();
}

QString KeyValueGrid::value(int row) const
{
    const QTableWidgetItem *cell = item(row, ValueColumn);
    return cell ? cell->text() : QString();
}

QString KeyValueGrid::valueOf(const QString &key) const
{
    const int row = findRow(key);
    return row < 0 ? QString() : value(row);
}

void KeyValueGrid::setValue(int row, const QString &value)
{
    QTableWidgetItem *cell = item(row, ValueColumn);
    if (!cell || cell->text() == value)
        return;
    cell->setText(value);
    emit StringsChange();
}

void KeyValueGrid::SetGridValue(const QString &key, const QString &value)
{
    const int row = findRow(key);
    if (row < 0)
        appendRow(key, value);
    else
        setValue(row, value);
}

bool KeyValueGrid::isReadOnly(int row) const
{
    const QTableWidgetItem *cell = item(row, KeyColumn);
    return cell && cell->data(ReadOnlyRole).toBool();
}

void KeyValueGrid::setReadOnly(int row, bool readOnly)
{
    if (QTableWidgetItem *cell = item(row, KeyColumn)) {
        cell->setData(ReadOnlyRole, readOnly);
        updateValueFlags(row);
    }
}

KeyValueGrid::EditStyle KeyValueGrid::editStyle(int row) const
{
    const QTableWidgetItem *cell = item(row, KeyColumn);
    return cell ? static_cast<EditStyle>(cell->data(EditStyleRole).toInt()) : EditStyle::PlainText;
}

void KeyValueGrid::setEditStyle(int row, EditStyle style)
{
    if (QTableWidgetItem *cell = item(row, KeyColumn)) {
        cell->setData(EditStyleRole, static_cast<int>(style));
        updateValueFlags(row);
    }
}

QStringList KeyValueGrid::pickList(int row) const
{
    const QTableWidgetItem *cell = item(row, KeyColumn);
    return cell ? cell->data(PickListRole).toStringList() : QStringList();
}

void KeyValueGrid::setPickList(int row, const QStringList &captions)
{
    QTableWidgetItem *cell = item(row, KeyColumn);
    if (!cell || pickList(row) == captions)
        return;
    cell->setData(PickListRole, captions);
    emit StringsChange(); // new captions may need a wider value column
}

bool KeyValueGrid::isFixed(int row) const
{
    return isReadOnly(row) && editStyle(row) == EditStyle::PlainText;
}

void KeyValueGrid::openPickList(int row)
{
    if (editStyle(row) != EditStyle::PickList || pickList(row).isEmpty())
        return;
    setCurrentCell(row, ValueColumn);
    if (!m_popup)
        m_popup = new PickListPopup(this);
    m_popup->showFor(row);
}

void KeyValueGrid::choosePickListEntry(int row, const QString &caption)
{
    if (editStyle(row) == EditStyle::PickList)
        changeValueAsUser(row, caption);
}

void KeyValueGrid::stepToNextCaption(int row)
{
    const QStringList captions = pickList(row);
    if (editStyle(row) != EditStyle::PickList || captions.isEmpty())
        return;
    // A value that is no caption (a custom size) steps to the first caption.
    const qsizetype shown = profiles::IndexOfCaption(captions, value(row));
    changeValueAsUser(row, captions[(shown + 1) % captions.size()]);
}

QRect KeyValueGrid::dropDownButtonRect(int row) const
{
    const QRect cell = visualRect(model()->index(row, ValueColumn));
    return QRect(cell.right() - DropDownButtonWidth + 1, cell.top(), DropDownButtonWidth, cell.height());
}

int KeyValueGrid::cellWidthFor(const QString &text) const
{
    return fontMetrics().horizontalAdvance(text) + 2 * CellTextMargin + GridLineWidth + 1;
}

int KeyValueGrid::keyColumnNeeds() const
{
    int widest = SmallestColumnWidth;
    for (int row = 0; row < rowCount(); ++row)
        widest = qMax(widest, cellWidthFor(key(row)));
    return widest;
}

int KeyValueGrid::valueColumnNeeds() const
{
    int widest = SmallestColumnWidth;
    for (int row = 0; row < rowCount(); ++row) {
        const bool choices = editStyle(row) == EditStyle::PickList;
        const int button = choices ? DropDownButtonWidth + CellTextMargin : 0;
        QStringList texts = choices ? pickList(row) : QStringList();
        texts << value(row);
        for (const QString &text : std::as_const(texts))
            widest = qMax(widest, cellWidthFor(text) + button);
    }
    return widest;
}

QSize KeyValueGrid::minimumSizeHint() const
{
    const int frame = 2 * frameWidth();
    return {m_keyColumnWidth + valueColumnNeeds() + frame, QTableWidget::minimumSizeHint().height()};
}

void KeyValueGrid::fitColumns()
{
    const int width = viewport()->width();
    const int key =
        qBound(SmallestColumnWidth, m_keyColumnWidth, qMax(SmallestColumnWidth, width - SmallestColumnWidth));
    setColumnWidth(KeyColumn, key);
    setColumnWidth(ValueColumn, qMax(SmallestColumnWidth, width - key));
    horizontalScrollBar()->setValue(0);
}

bool KeyValueGrid::hasFocusWithin() const
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

void KeyValueGrid::acceptTypedValue(int row, const QString &text)
{
    if (!isFixed(row) && editStyle(row) == EditStyle::PlainText)
        changeValueAsUser(row, text);
}

void KeyValueGrid::changeValueAsUser(int row, const QString &value)
{
    if (value == this->value(row))
        return;
    setValue(row, value);
    emit Validate(row, key(row), value);
}

void KeyValueGrid::updateValueFlags(int row)
{
    QTableWidgetItem *cell = item(row, ValueColumn);
    if (!cell)
        return;
    // Pick lists are never typed into; their drop-down and the double-click change them.
    const bool typable = editStyle(row) == EditStyle::PlainText && !isReadOnly(row);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | (typable ? Qt::ItemIsEditable : Qt::NoItemFlags));
}

bool KeyValueGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (index.isValid() && index.column() == ValueColumn && editStyle(index.row()) == EditStyle::PickList) {
        if (trigger == DoubleClicked)
            stepToNextCaption(index.row());
        return false;
    }
    return QTableWidget::edit(index, trigger, event);
}

QModelIndex KeyValueGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableWidget::moveCursor(cursorAction, modifiers);
    return next.isValid() ? next.siblingAtColumn(ValueColumn) : next;
}

void KeyValueGrid::keyPressEvent(QKeyEvent *event)
{
    const bool dropDownKey =
        event->key() == Qt::Key_F4 || (event->key() == Qt::Key_Down && event->modifiers().testFlag(Qt::AltModifier));
    if (dropDownKey && currentRow() >= 0 && editStyle(currentRow()) == EditStyle::PickList) {
        openPickList(currentRow());
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void KeyValueGrid::mousePressEvent(QMouseEvent *event)
{
    handlePress(event);
    emit MouseDown();
}

void KeyValueGrid::handlePress(QMouseEvent *event)
{
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton && onColumnBoundary(position)) {
        m_sizingKeyColumn = true;
        return;
    }
    const QModelIndex pressed = indexAt(position);
    if (pressed.isValid() && pressed.column() == KeyColumn) {
        // The key column is fixed: a press there goes to the row's value.
        setCurrentCell(pressed.row(), ValueColumn);
        return;
    }
    if (event->button() == Qt::LeftButton && pressed.isValid() && pressed == currentIndex() &&
        editStyle(pressed.row()) == EditStyle::PickList && dropDownButtonRect(pressed.row()).contains(position)) {
        openPickList(pressed.row());
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void KeyValueGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint position = event->position().toPoint();
    if (m_sizingKeyColumn) {
        const int widest = qMax(SmallestColumnWidth, viewport()->width() - SmallestColumnWidth);
        m_keyColumnWidth = qBound(SmallestColumnWidth, position.x(), widest);
        setColumnWidth(KeyColumn, m_keyColumnWidth);
        setColumnWidth(ValueColumn, qMax(SmallestColumnWidth, viewport()->width() - m_keyColumnWidth));
        return;
    }
    if (onColumnBoundary(position))
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
    QTableWidget::mouseMoveEvent(event);
}

void KeyValueGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_sizingKeyColumn) {
        m_sizingKeyColumn = false;
        return;
    }
    QTableWidget::mouseReleaseEvent(event);
}

bool KeyValueGrid::onColumnBoundary(const QPoint &viewportPosition) const
{
    const int boundary = columnViewportPosition(ValueColumn);
    return rowAt(viewportPosition.y()) >= 0 && qAbs(viewportPosition.x() - boundary) <= ColumnBoundaryReach;
}

void KeyValueGrid::focusInEvent(QFocusEvent *event)
{
    QTableWidget::focusInEvent(event);
    // Only the focused grid marks its current key cell.
    viewport()->update();
}

void KeyValueGrid::focusOutEvent(QFocusEvent *event)
{
    QTableWidget::focusOutEvent(event);
    viewport()->update();
}

void KeyValueGrid::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    fitColumns();
    // Moving in a collapsed grid scrolls it; once the rows fit again they start at the top.
    if (rowCount() * rowHeight(0) <= viewport()->height())
        verticalScrollBar()->setValue(0);
}

} // namespace grids
