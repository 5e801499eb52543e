#include "gui/preview/previewplayer.h"

#include "core/tasks/timetext.h"
#include "gui/preview/dstrackbar.h"
#include "gui/preview/filtergraph.h"
#include "gui/preview/videowindow.h"

#include <QLabel>
#include <QPointer>

namespace preview {

PreviewPlayer::PreviewPlayer(TFilterGraph &graph, TVideoWindow &videoWindow, TDSTrackBar &trackBar, QLabel &timeLabel)
    : m_graph(graph)
{
    graph.setVideoWindow(&videoWindow);
    trackBar.setFilterGraph(&graph);
    // TrackBarTimer: the label shows the thumb, not the milliseconds, so it agrees with the bar.
    trackBar.OnTimer = [bar = &trackBar, label = QPointer<QLabel>(&timeLabel)](int, int) {
        if (label)
            label->setText(tasks::SecondsToTimeText(double(qint64(bar->value()) * bar->TimerInterval() / 1000)));
    };
}

void PreviewPlayer::PreviewTask(const QString &inputPath)
{
    m_graph.setActive(true);
    m_graph.ClearGraph();
    if (m_graph.RenderFile(inputPath))
        m_graph.Play();
}

void PreviewPlayer::PauseResume()
{
    switch (m_graph.GetState()) {
    case GraphState::Playing:
        m_graph.Pause();
        break;
    case GraphState::Paused:
        m_graph.Play();
        break;
    case GraphState::Stopped:
    case GraphState::Uninitialized:
        break;
    }
}

void PreviewPlayer::Stop()
{
    m_graph.Stop();
}

} // namespace preview
