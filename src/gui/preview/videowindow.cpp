#include "gui/preview/videowindow.h"

#include <QVBoxLayout>
#include <QVideoWidget>

namespace preview {
namespace {

void paintBlack(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

TVideoWindow::TVideoWindow(QWidget *parent) : QWidget(parent), m_videoWidget(new QVideoWidget(this))
{
    setObjectName(QStringLiteral("VideoWindow1"));
    setAccessibleName(QStringLiteral("Preview"));
    paintBlack(this);

    m_videoWidget->setObjectName(QStringLiteral("previewVideo"));
    m_videoWidget->setAccessibleName(QStringLiteral("Preview video"));
    // The picture is stretched over the whole area, as the preview has always shown it.
    m_videoWidget->setAspectRatioMode(Qt::IgnoreAspectRatio);
    paintBlack(m_videoWidget);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_videoWidget);
}

} // namespace preview
