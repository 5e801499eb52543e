#pragma once

#include "gui/preview/controlnotification.h"

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
    // Starts loading the file and returns at once; false when the graph is inactive. A Play or
    // Pause given meanwhile takes effect once the file has loaded. A file the player reports as
    // unplayable is announced by RenderFailed; a later RenderFile or ClearGraph supersedes it.
    bool RenderFile(const QString &path);
    void Play();
    void Pause();
    void Stop();
    GraphState GetState() const;

    // Present only while active.
    MediaSeeking *Seeking() const;

signals:
    void controlNotification(preview::ControlNotification notification);
    // The framework's text for the failure, followed by its code: "... ($2).".
    void RenderFailed(const QString &message);

private:
    struct Engine;

    void attachVideo();
    void watchPlayer();
    void examineStatus();
    void fail(int error, const QString &text);
    void resumeAfterSeek();

    std::unique_ptr<Engine> m_engine;
    QPointer<TVideoWindow> m_videoWindow;
};

} // namespace preview
