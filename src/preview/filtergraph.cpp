#include "filtergraph.h"

#include "directshowexception.h"
#include "playerseeking.h"
#include "sourceload.h"
#include "videowindow.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QVideoWidget>

namespace preview {
namespace {

constexpr std::chrono::milliseconds LoadLimit{5000};

QString errorMessage(const SourceLoad &load)
{
    return QStringLiteral("%1 ($%2).").arg(load.errorText, QString::number(int(load.error), 16));
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
};

TFilterGraph::TFilterGraph(QObject *parent) : QObject(parent) {}

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

void TFilterGraph::ClearGraph()
{
    if (!Active())
        return;
    Stop();
    m_engine->player->setSource(QUrl());
}

bool TFilterGraph::RenderFile(const QString &path)
{
    if (!Active())
        return false;
    emit controlNotification(ControlNotification::FileRendering);
    const QPointer<TFilterGraph> alive(this);
    const SourceLoad load = loadSource(*m_engine->player, QUrl::fromLocalFile(path), LoadLimit);
    if (!alive || !Active() || load.outcome == SourceLoad::Outcome::Superseded)
        return false;
    if (load.outcome == SourceLoad::Outcome::Failed) {
        // A failed source must not be played by a later Play or Pause / Resume.
        m_engine->renewPlayer();
        attachVideo();
        throw EDirectShowException(errorMessage(load));
    }
    emit controlNotification(ControlNotification::FileRendered);
    return true;
}

void TFilterGraph::Play()
{
    if (!Active())
        return;
    emit controlNotification(ControlNotification::Play);
    m_engine->player->play();
}

void TFilterGraph::Pause()
{
    if (!Active())
        return;
    emit controlNotification(ControlNotification::Pause);
    m_engine->player->pause();
}

void TFilterGraph::Stop()
{
    if (!Active())
        return;
    emit controlNotification(ControlNotification::Stop);
    m_engine->player->stop();
}

GraphState TFilterGraph::GetState() const
{
    if (!Active())
        return GraphState::Uninitialized;
    switch (m_engine->player->playbackState()) {
    case QMediaPlayer::StoppedState:
        return GraphState::Stopped;
    case QMediaPlayer::PausedState:
        return GraphState::Paused;
    case QMediaPlayer::PlayingState:
        return GraphState::Playing;
    }
    return GraphState::Uninitialized;
}

MediaSeeking *TFilterGraph::Seeking() const
{
    return m_engine ? &m_engine->seeking : nullptr;
}

} // namespace preview
