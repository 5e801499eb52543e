#pragma once

#include <QWidget>

class QVideoWidget;

namespace preview {

// The video area: black, with the video the media graph plays filling all of it.
class TVideoWindow : public QWidget {
    Q_OBJECT

public:
    explicit TVideoWindow(QWidget *parent = nullptr);

    QVideoWidget *videoWidget() const { return m_videoWidget; }

private:
    QVideoWidget *m_videoWidget;
};

} // namespace preview
