#pragma once

#include <QMediaPlayer>

namespace preview {

// Whether a player in this status knows its media: duration, position and seeking work.
bool isLoadedStatus(QMediaPlayer::MediaStatus status);

} // namespace preview
