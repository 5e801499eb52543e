#include "sourceload.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <optional>

namespace preview {

bool isLoadedStatus(QMediaPlayer::MediaStatus status)
{
    switch (status) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::StalledMedia:
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::BufferedMedia:
    case QMediaPlayer::EndOfMedia:
        return true;
    case QMediaPlayer::NoMedia:
    case QMediaPlayer::LoadingMedia:
    case QMediaPlayer::InvalidMedia:
        break;
    }
    return false;
}

SourceLoad loadSource(QMediaPlayer &player, const QUrl &source, std::chrono::milliseconds limit)
{
    using Outcome = SourceLoad::Outcome;
    // Clearing first means the status seen below belongs to this source, not to the last one,
    // and that setting the same file again really loads it again.
    player.setSource(QUrl());

    std::optional<SourceLoad> result;
    QEventLoop loop;
    const auto finish = [&](SourceLoad load) {
        if (!result) {
            result = std::move(load);
            loop.quit();
        }
    };
    const auto examine = [&](QMediaPlayer::MediaStatus status) {
        if (player.source() != source)
            finish({Outcome::Superseded, QMediaPlayer::NoError, {}});
        else if (status == QMediaPlayer::InvalidMedia)
            finish({Outcome::Failed, QMediaPlayer::FormatError, QStringLiteral("The file cannot be played.")});
        else if (isLoadedStatus(status))
            finish({Outcome::Loaded, QMediaPlayer::NoError, {}});
    };
    // Some backends report more than one error for one file; the first says what went wrong.
    QObject::connect(&player, &QMediaPlayer::errorOccurred, &loop,
                     [&](QMediaPlayer::Error error, const QString &text) { finish({Outcome::Failed, error, text}); });
    QObject::connect(&player, &QMediaPlayer::mediaStatusChanged, &loop, examine);
    QObject::connect(&player, &QObject::destroyed, &loop, [&] { finish({Outcome::Superseded, QMediaPlayer::NoError, {}}); });
    QTimer::singleShot(limit, &loop, [&] {
        finish({Outcome::Failed, QMediaPlayer::ResourceError, QStringLiteral("The file did not open in time.")});
    });

    const QPointer<QMediaPlayer> watched(&player);
    player.setSource(source);
    // A backend may load (or fail) inside setSource itself.
    if (!result)
        examine(player.mediaStatus());
    if (!result)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // Whatever was reported, a source set meanwhile wins: stopping the player for it can report
    // this source as loaded just before it goes.
    if (!watched || player.source() != source)
        return {Outcome::Superseded, QMediaPlayer::NoError, {}};
    return *result;
}

} // namespace preview
