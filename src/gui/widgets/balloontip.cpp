#include "gui/widgets/balloontip.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace widgets {

BalloonTip::BalloonTip(QWidget *owner)
    : QFrame(owner, Qt::ToolTip | Qt::FramelessWindowHint)
    , m_iconLabel(new QLabel(this))
    , m_title(new QLabel(this))
    , m_text(new QLabel(this))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("BalloonTip"));
    setAccessibleName(QStringLiteral("Tip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameShape(QFrame::Box);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(8, 6, 10, 8);
    layout->setHorizontalSpacing(8);
    layout->addWidget(m_iconLabel, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(m_title, 0, 1);
    layout->addWidget(m_text, 1, 1);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
}

void BalloonTip::showAt(const QPoint &globalPosition, const QIcon &icon, const QString &title, const QString &text)
{
    m_icon = icon;
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    m_iconLabel->setPixmap(icon.pixmap(side, side));
    m_title->setText(title);
    m_text->setText(text);
    adjustSize();
    // Above the pointer, like a balloon's stem; below it where the screen ends.
    QPoint at(globalPosition.x() - 12, globalPosition.y() - height() - 4);
    if (const QScreen *screen = QGuiApplication::screenAt(globalPosition)) {
        const QRect room = screen->availableGeometry();
        if (at.y() < room.top())
            at.setY(globalPosition.y() + 20);
        at.setX(qBound(room.left(), at.x(), qMax(room.left(), room.right() - width())));
    }
    move(at);
    show();
    raise();
    m_timer->start(ShownMilliseconds);
}

QString BalloonTip::title() const
{
    return m_title->text();
}

QString BalloonTip::text() const
{
    return m_text->text();
}

void BalloonTip::mousePressEvent(QMouseEvent *)
{
    hide();
}

} // namespace widgets
