#include "gui/preview/playerseeking.h"

#include "gui/preview/sourceload.h"

#include <QMediaPlayer>

namespace preview {

bool PlayerSeeking::knowsMedia() const
{
    return m_player && isLoadedStatus(m_player->mediaStatus());
}

std::optional<qint64> PlayerSeeking::Duration() const
{
    if (!knowsMedia())
        return std::nullopt;
    return m_player->duration();
}

std::optional<qint64> PlayerSeeking::CurrentPosition() const
{
    if (!knowsMedia())
        return std::nullopt;
    return m_atEnd ? Duration() : m_player->position();
}

std::optional<qint64> PlayerSeeking::StopPosition() const
{
    return Duration();
}

void PlayerSeeking::SetCurrentPosition(qint64 milliseconds)
{
    if (!knowsMedia())
        return;
    m_player->setPosition(milliseconds);
    m_atEnd = false;
    if (AfterSeek)
        AfterSeek();
}

} // namespace preview
