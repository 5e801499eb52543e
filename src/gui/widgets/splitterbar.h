#pragma once

#include <QLabel>

namespace widgets {

// The bar between the main area and the right panel; it reports the pointer's moves, with the
// buttons and keys then held, and leaves the resizing to the window.
class SplitterBar : public QLabel {
    Q_OBJECT

public:
    explicit SplitterBar(QWidget *parent = nullptr);

signals:
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position);
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace widgets
