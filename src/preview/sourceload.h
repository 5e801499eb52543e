#pragma once

#include <QMediaPlayer>
#include <QString>
#include <QUrl>

#include <chrono>

namespace preview {

struct SourceLoad {
    enum class Outcome {
        Loaded,
        Failed,
        // Another source was set, or the player went away, before this one had loaded.
        Superseded,
    };
    Outcome outcome = Outcome::Loaded;
    QMediaPlayer::Error error = QMediaPlayer::NoError;
    QString errorText;
};

// Whether a player in this status knows its media: duration, position and seeking work.
bool isLoadedStatus(QMediaPlayer::MediaStatus status);

// Sets the player's source and runs a local event loop until it has loaded or failed, at most
// for `limit`. User input waits meanwhile, so a click cannot start another load inside this one.
SourceLoad loadSource(QMediaPlayer &player, const QUrl &source, std::chrono::milliseconds limit);

} // namespace preview
