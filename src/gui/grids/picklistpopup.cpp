#include "gui/grids/picklistpopup.h"

#include "core/profiles/splitlist.h"
#include "gui/grids/keyvaluegrid.h"

#include <QKeyEvent>

namespace grids {

namespace {

constexpr int MostRowsShown = 8;

} // namespace

PickListPopup::PickListPopup(KeyValueGrid *grid) : QListWidget(grid), m_grid(grid)
{
    setWindowFlags(Qt::Popup);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemClicked, this, &PickListPopup::choose);
}

void PickListPopup::showFor(int row)
{
    m_row = row;
    clear();
    const QStringList captions = m_grid->pickList(row);
    addItems(captions);
    setAccessibleName(m_grid->key(row));
    const qsizetype shown = profiles::IndexOfCaption(captions, m_grid->value(row));
    setCurrentRow(shown < 0 ? 0 : static_cast<int>(shown));

    const QRect cell = m_grid->visualRect(m_grid->model()->index(row, KeyValueGrid::ValueColumn));
    const int rowsShown = qMin(count(), MostRowsShown);
    const int height = rowsShown * sizeHintForRow(0) + 2 * frameWidth();
    setGeometry(QRect(m_grid->viewport()->mapToGlobal(cell.bottomLeft() + QPoint(0, 1)), QSize(cell.width(), height)));
    show();
    setFocus(Qt::PopupFocusReason);
}

void PickListPopup::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        choose(currentItem());
        return;
    case Qt::Key_Escape:
    case Qt::Key_F4:
        hide();
        return;
    default:
        QListWidget::keyPressEvent(event);
    }
}

void PickListPopup::choose(const QListWidgetItem *item)
{
    if (!item)
        return;
    const QString caption = item->text();
    // Closed first: the choice may open a dialog (a custom size), which must not sit under it.
    hide();
    m_grid->choosePickListEntry(m_row, caption);
}

} // namespace grids
