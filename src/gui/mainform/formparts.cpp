#include "gui/mainform/formparts.h"

#include "gui/widgets/toolbaricons.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

namespace mainform {

QWidget *panel(QWidget *parent, const QString &name)
{
    auto *widget = new QWidget(parent);
    widget->setObjectName(name);
    return widget;
}

QLabel *label(QWidget *parent, const QString &text, int left, int top)
{
    auto *widget = new QLabel(text, parent);
    widget->move(left, top);
    widget->adjustSize();
    return widget;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, int left, int top)
{
    auto *widget = new QPushButton(caption, parent);
    widget->setObjectName(name);
    widget->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    widget->setGeometry(left, top, 75, 25);
    return widget;
}

QLabel *valueLabel(QWidget *parent, const QString &name, const QString &text, int left, int top)
{
    QLabel *widget = label(parent, text, left, top);
    widget->setObjectName(name);
    return widget;
}

QProgressBar *progressBar(QWidget *parent, const QString &name, const QString &caption, int left, int top)
{
    auto *bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setAccessibleName(caption);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    bar->setGeometry(left, top, 430, 17);
    return bar;
}

QToolButton *flatButton(QWidget *parent, const QString &name, const QString &hint, const QString &picture)
{
    auto *widget = new QToolButton(parent);
    widget->setObjectName(name);
    widget->setToolTip(hint);
    widget->setAccessibleName(hint);
    widget->setAutoRaise(true);
    widget->setIcon(widgets::pictureIcon(picture, 16));
    return widget;
}

} // namespace mainform
