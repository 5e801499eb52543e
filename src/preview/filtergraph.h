#pragma once

#include "controlnotification.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

namespace preview {

class MediaSeeking;
class TVideoWindow;

enum class GraphState {
    Uninitialized = 0, // no player
    Stopped = 1,
    Paused = 2,
    Playing = 3,
};

// The media graph: the player for the current file and the operations on it. Inactive, there
// is no player and every operation but activation does nothing.
class TFilterGraph : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE setActive)

public:
    explicit TFilterGraph(QObject *parent = nullptr);
    ~TFilterGraph() override;

    bool Active() const;
    void setActive(bool active);

    // The video area the player draws into; it stays attached from one file to the next.
    void setVideoWindow(TVideoWindow *videoWindow);

    void ClearGraph();
    // Loads the file, waiting a few seconds at most, and raises EDirectShowException when it
    // cannot be played. False when nothing was loaded: the graph is inactive, or another
    // RenderFile or ClearGraph came while this one waited.
    bool RenderFile(const QString &path);
    void Play();
    void Pause();
    void Stop();
    GraphState GetState() const;

    // Present only while active.
    MediaSeeking *Seeking() const;

signals:
    void controlNotification(preview::ControlNotification notification);

private:
    struct Engine;

    void attachVideo();

    std::unique_ptr<Engine> m_engine;
    QPointer<TVideoWindow> m_videoWindow;
};

} // namespace preview
