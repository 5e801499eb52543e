#pragma once

#include "gui/preview/mediaseeking.h"

#include <functional>

class QMediaPlayer;

namespace preview {

class PlayerSeeking : public MediaSeeking {
public:
    // The graph replaces a player that failed; the seeking goes on with the new one.
    void setPlayer(QMediaPlayer &player) { m_player = &player; }

    std::optional<qint64> Duration() const override;
    std::optional<qint64> CurrentPosition() const override;
    std::optional<qint64> StopPosition() const override;
    void SetCurrentPosition(qint64 milliseconds) override;

    // A player that reached the end of its file reports itself stopped; the preview holds it at
    // its last frame instead, so the position stays at the end until a seek moves it back.
    void setAtEnd(bool atEnd) { m_atEnd = atEnd; }
    std::function<void()> AfterSeek;

private:
    bool knowsMedia() const;

    QMediaPlayer *m_player = nullptr;
    bool m_atEnd = false;
};

} // namespace preview
