#include "gui/widgets/splitterbar.h"

#include <QMouseEvent>

namespace widgets {

SplitterBar::SplitterBar(QWidget *parent) : QLabel(QStringLiteral("<>"), parent)
{
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::SizeHorCursor);
    setFixedWidth(10);
}

void SplitterBar::mouseMoveEvent(QMouseEvent *event)
{
    // While a button is held, the bar keeps the pointer, so positions may lie outside it.
    emit mouseMoved(event->buttons(), event->modifiers(), event->position().toPoint());
}

void SplitterBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace widgets
