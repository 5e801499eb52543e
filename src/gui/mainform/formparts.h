#pragma once

#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;
class QWidget;

// The small pieces the main window's regions are built of, each placed where it is designed.
namespace mainform {

QWidget *panel(QWidget *parent, const QString &name);
QLabel *label(QWidget *parent, const QString &text, int left, int top);
QPushButton *button(QWidget *parent, const QString &name, const QString &caption, int left, int top);
QLabel *valueLabel(QWidget *parent, const QString &name, const QString &text, int left, int top);
QProgressBar *progressBar(QWidget *parent, const QString &name, const QString &caption, int left, int top);
QToolButton *flatButton(QWidget *parent, const QString &name, const QString &hint, const QString &picture);

} // namespace mainform
