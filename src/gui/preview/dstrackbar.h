#pragma once

#include "gui/preview/controlnotification.h"

#include <QPointer>
#include <QSlider>
#include <QTimer>

#include <functional>

namespace preview {

class MediaSeeking;
class TFilterGraph;

// The position bar: while the graph plays it reads the position every TimerInterval and shows it
// in whole intervals; letting go of it with the left button seeks to the thumb's share of the file.
class TDSTrackBar : public QSlider {
    Q_OBJECT

public:
    explicit TDSTrackBar(QWidget *parent = nullptr);

    void setFilterGraph(TFilterGraph *graph);
    // The graph's seeking while it is active, nullptr otherwise.
    void setSeeking(MediaSeeking *seeking);
    void ControlNotify(ControlNotification notification);

    int TimerInterval() const { return m_timerInterval; }
    void setTimerInterval(int milliseconds);

    // Called after each tick that read the position.
    std::function<void(int currentMs, int durationMs)> OnTimer;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void setTicking(bool ticking);
    void restartTimer();
    void tick();
    void seekToThumb();

    QPointer<TFilterGraph> m_graph;
    MediaSeeking *m_seeking = nullptr;
    QTimer m_tickTimer;
    int m_timerInterval = 1000;
    bool m_ticking = false;
    bool m_leftButtonHeld = false;
};

} // namespace preview
