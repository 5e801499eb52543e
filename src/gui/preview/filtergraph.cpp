#include "gui/preview/filtergraph.h"

#include "gui/preview/directshowexception.h"
#include "gui/preview/playerseeking.h"
#include "gui/preview/sourceload.h"
#include "gui/preview/videowindow.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QVideoWidget>

namespace preview {
namespace {

QString errorMessage(int error, const QString &text)
{
    return QStringLiteral("%1 ($%2).").arg(text, QString::number(error, 16));
}

} // namespace

struct TFilterGraph::Engine {
    Engine()
    {
        // Without any audio device a file still plays, silently; an audio output attached there
        // crashes the FFmpeg backend of Qt 6.4.
        if (!QMediaDevices::audioOutputs().isEmpty())
            audio = std::make_unique<QAudioOutput>();
        renewPlayer();
    }
    ~Engine() { player->setVideoOutput(nullptr); }

    // A backend can go on reporting errors of a file that failed to load after the next file was
    // set; a fresh player keeps them from being taken for the next file's.
    void renewPlayer()
    {
        if (player)
            player->setVideoOutput(nullptr);
        player = std::make_unique<QMediaPlayer>();
        if (audio)
            player->setAudioOutput(audio.get());
        seeking.setPlayer(*player);
    }

    // Declared before the player, so that the player goes first.
    std::unique_ptr<QAudioOutput> audio;
    std::unique_ptr<QMediaPlayer> player;
    PlayerSeeking seeking;
    QUrl loading;        // the file asked for last; empty when none is (or it failed)
    bool loaded = false; // the player knows that file
    bool atEnd = false;  // it played to the end and is held at its last frame
    GraphState wanted = GraphState::Stopped;
};

TFilterGraph::TFilterGraph(QObject *parent) : QObject(parent)
{}

TFilterGraph::~TFilterGraph()
{
    setActive(false);
}

bool TFilterGraph::Active() const
{
    return m_engine != nullptr;
}

void TFilterGraph::setActive(bool active)
{
    if (active == Active())
        return;
    if (active) {
        m_engine = std::make_unique<Engine>();
        m_engine->seeking.AfterSeek = [this] { resumeAfterSeek(); };
        watchPlayer();
        attachVideo();
        emit controlNotification(ControlNotification::Activated);
    } else {
        emit controlNotification(ControlNotification::Deactivated);
        m_engine.reset();
    }
}

void TFilterGraph::setVideoWindow(TVideoWindow *videoWindow)
{
    m_videoWindow = videoWindow;
    attachVideo();
}

void TFilterGraph::attachVideo()
{
    if (m_engine)
        m_engine->player->setVideoOutput(m_videoWindow ? m_videoWindow->videoWidget() : nullptr);
}

void TFilterGraph::watchPlayer()
{
    QMediaPlayer *player = m_engine->player.get();
    connect(player, &QMediaPlayer::mediaStatusChanged, this, &TFilterGraph::examineStatus);
    // Some backends report more than one error for one file; the first says what went wrong.
    connect(player, &QMediaPlayer::errorOccurred, this, [this, player](QMediaPlayer::Error error, const QString &text) {
        if (m_engine && m_engine->player.get() == player && player->source() == m_engine->loading)
            fail(int(error), text);
    });
}

void TFilterGraph::examineStatus()
{
    Engine &engine = *m_engine;
    QMediaPlayer &player = *engine.player;
    if (engine.loading.isEmpty() || player.source() != engine.loading)
        return; // a file asked for before the last one
    const QMediaPlayer::MediaStatus status = player.mediaStatus();
    if (status == QMediaPlayer::InvalidMedia)
        return fail(int(QMediaPlayer::FormatError), QStringLiteral("The file cannot be played."));
    if (!engine.loaded && isLoadedStatus(status)) {
        engine.loaded = true;
        emit controlNotification(ControlNotification::FileRendered);
        if (engine.wanted == GraphState::Playing)
            player.play();
        else if (engine.wanted == GraphState::Paused)
            player.pause();
    }
    if (status == QMediaPlayer::EndOfMedia && engine.wanted != GraphState::Stopped) {
        // The player stops at the end; the preview goes on running, held at the last frame.
        engine.atEnd = true;
        engine.seeking.setAtEnd(true);
    }
}

void TFilterGraph::fail(int error, const QString &text)
{
    Engine &engine = *m_engine;
    engine.loading = QUrl();
    engine.loaded = false;
    engine.atEnd = false;
    engine.seeking.setAtEnd(false);
    engine.wanted = GraphState::Stopped;
    // Not from inside the failing player's own signal: it is replaced, so that its late errors
    // are not taken for the next file's, and a later Play or Pause / Resume cannot play it.
    QTimer::singleShot(0, this, [this, message = errorMessage(error, text)] {
        if (m_engine && m_engine->loading.isEmpty()) {
            m_engine->renewPlayer();
            watchPlayer();
            attachVideo();
        }
        emit RenderFailed(message);
    });
}

void TFilterGraph::resumeAfterSeek()
{
    Engine &engine = *m_engine;
    if (!std::exchange(engine.atEnd, false))
        return;
    if (engine.wanted == GraphState::Playing)
        engine.player->play();
    else if (engine.wanted == GraphState::Paused)
        engine.player->pause();
}

void TFilterGraph::ClearGraph()
{
    if (!Active())
        return;
    Stop();
    m_engine->loading = QUrl();
    m_engine->loaded = false;
    m_engine->player->setSource(QUrl());
}

bool TFilterGraph::RenderFile(const QString &path)
{
    if (!Active())
        return false;
    emit controlNotification(ControlNotification::FileRendering);
    Engine &engine = *m_engine;
    engine.loading = QUrl::fromLocalFile(path);
    engine.loaded = false;
    engine.atEnd = false;
    engine.seeking.setAtEnd(false);
    // Clearing first means the status seen belongs to this source, and that setting the same
    // file again really loads it again.
    engine.player->setSource(QUrl());
    engine.player->setSource(engine.loading);
    // A backend may load (or fail) inside setSource itself.
    if (m_engine && !m_engine->loaded)
        examineStatus();
    return true;
}

void TFilterGraph::Play()
{
    if (!Active())
        return;
    emit controlNotification(ControlNotification::Play);
    Engine &engine = *m_engine;
    if (engine.loading.isEmpty())
        return; // nothing loaded, or it failed
    engine.wanted = GraphState::Playing;
    if (engine.loaded && !engine.atEnd)
        engine.player->play();
}

void TFilterGraph::Pause()
{
    if (!Active())
        return;
    emit controlNotification(ControlNotification::Pause);
    Engine &engine = *m_engine;
    if (engine.loading.isEmpty())
        return;
    engine.wanted = GraphState::Paused;
    if (engine.loaded && !engine.atEnd)
        engine.player->pause();
}

void TFilterGraph::Stop()
{
    if (!Active())
        return;
    emit controlNotification(ControlNotification::Stop);
    Engine &engine = *m_engine;
    engine.wanted = GraphState::Stopped;
    engine.atEnd = false;
    engine.seeking.setAtEnd(false);
    engine.player->stop();
}

GraphState TFilterGraph::GetState() const
{
    if (!Active())
        return GraphState::Uninitialized;
    // What the preview was told, rather than the player's own state: a player that reached the
    // end says Stopped, and one still loading has not started yet.
    return m_engine->loading.isEmpty() ? GraphState::Stopped : m_engine->wanted;
}

MediaSeeking *TFilterGraph::Seeking() const
{
    return m_engine ? &m_engine->seeking : nullptr;
}

} // namespace preview
