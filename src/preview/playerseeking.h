#pragma once

#include "mediaseeking.h"

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

private:
    bool knowsMedia() const;

    QMediaPlayer *m_player = nullptr;
};

} // namespace preview
