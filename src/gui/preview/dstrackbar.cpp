#include "gui/preview/dstrackbar.h"

#include "gui/preview/filtergraph.h"
#include "gui/preview/mediaseeking.h"

#include <QMouseEvent>

namespace preview {

TDSTrackBar::TDSTrackBar(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setObjectName(QStringLiteral("TrackBar"));
    setAccessibleName(QStringLiteral("Position"));
    setRange(0, 10);
    setValue(0);
    setTickPosition(QSlider::TicksAbove);
    setTickInterval(1);
    connect(&m_tickTimer, &QTimer::timeout, this, &TDSTrackBar::tick);
}

void TDSTrackBar::setFilterGraph(TFilterGraph *graph)
{
    if (m_graph)
        disconnect(m_graph, nullptr, this, nullptr);
    m_graph = graph;
    setSeeking(graph ? graph->Seeking() : nullptr);
    if (graph)
        connect(graph, &TFilterGraph::controlNotification, this, &TDSTrackBar::ControlNotify);
}

void TDSTrackBar::setSeeking(MediaSeeking *seeking)
{
    m_seeking = seeking;
}

void TDSTrackBar::ControlNotify(ControlNotification notification)
{
    switch (notification) {
    case ControlNotification::Play:
        setTicking(isEnabled());
        break;
    case ControlNotification::Pause:
    case ControlNotification::Stop:
        setTicking(false);
        break;
    case ControlNotification::Activated:
        setSeeking(m_graph ? m_graph->Seeking() : nullptr);
        break;
    case ControlNotification::Deactivated:
        setSeeking(nullptr);
        break;
    case ControlNotification::FileRendering:
    case ControlNotification::FileRendered:
        break;
    }
}

void TDSTrackBar::setTimerInterval(int milliseconds)
{
    m_timerInterval = milliseconds;
    restartTimer();
}

void TDSTrackBar::setTicking(bool ticking)
{
    // A second play must not restart the period, or repeated plays would starve the ticks.
    if (ticking == m_ticking)
        return;
    m_ticking = ticking;
    restartTimer();
}

void TDSTrackBar::restartTimer()
{
    m_tickTimer.stop();
    if (m_ticking && m_timerInterval > 0)
        m_tickTimer.start(m_timerInterval);
}

void TDSTrackBar::tick()
{
    // While the user holds the thumb, it stays where they put it.
    if (!m_seeking || m_leftButtonHeld)
        return;
    const auto duration = m_seeking->Duration();
    const auto current = m_seeking->CurrentPosition();
    if (!duration || !current)
        return;
    const int durationMs = int(*duration);
    const int currentMs = int(*current);
    setMinimum(0);
    setMaximum(durationMs / m_timerInterval);
    setValue(currentMs / m_timerInterval);
    if (OnTimer)
        OnTimer(currentMs, durationMs);
}

void TDSTrackBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftButtonHeld = true;
    QSlider::mousePressEvent(event);
}

void TDSTrackBar::mouseReleaseEvent(QMouseEvent *event)
{
    QSlider::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && m_seeking)
        seekToThumb();
    m_leftButtonHeld = false;
}

void TDSTrackBar::seekToThumb()
{
    // A file shorter than one interval leaves a bar without length: there is nowhere to go.
    if (maximum() == 0)
        return;
    const auto stop = m_seeking->StopPosition();
    if (!stop)
        return;
    m_seeking->SetCurrentPosition(*stop * value() / maximum());
}

} // namespace preview
