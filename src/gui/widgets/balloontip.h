#pragma once

#include <QFrame>
#include <QIcon>

class QLabel;
class QTimer;

namespace widgets {

// A balloon tip: an icon, a bold title and a text in a frame that points at where it was asked
// for. It takes no focus and goes away after a while or when clicked; showing it again moves it.
class BalloonTip : public QFrame {
    Q_OBJECT

public:
    static constexpr int ShownMilliseconds = 6000;

    explicit BalloonTip(QWidget *owner);

    void showAt(const QPoint &globalPosition, const QIcon &icon, const QString &title, const QString &text);

    QIcon icon() const { return m_icon; }
    QString title() const;
    QString text() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QIcon m_icon;
    QLabel *m_iconLabel;
    QLabel *m_title;
    QLabel *m_text;
    QTimer *m_timer;
};

} // namespace widgets
