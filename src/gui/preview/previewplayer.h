#pragma once

#include <QString>

class QLabel;

namespace preview {

class TDSTrackBar;
class TFilterGraph;
class TVideoWindow;

// The main window's preview handlers. It binds the video area and the position bar to the graph
// and keeps the time label on the bar's position.
class PreviewPlayer {
public:
    PreviewPlayer(TFilterGraph &graph, TVideoWindow &videoWindow, TDSTrackBar &trackBar, QLabel &timeLabel);

    // Plays the file from its beginning, whatever played before, once it has loaded; returns at
    // once. A file that cannot be played is announced by the graph's RenderFailed and leaves the
    // preview idle.
    void PreviewTask(const QString &inputPath);
    // "Pause / Resume": pauses what plays, plays what is paused, leaves anything else alone.
    void PauseResume();
    // "Stop", and the start of a batch run. Nothing happens before the first preview.
    void Stop();

private:
    TFilterGraph &m_graph;
};

} // namespace preview
