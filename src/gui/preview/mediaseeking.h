#pragma once

#include <QtGlobal>

#include <optional>

namespace preview {

// What the position bar reads from and tells the media graph, in milliseconds. A value the
// graph cannot give (no media loaded) is absent.
class MediaSeeking {
public:
    virtual ~MediaSeeking() = default;

    virtual std::optional<qint64> Duration() const = 0;
    virtual std::optional<qint64> CurrentPosition() const = 0;
    // Where playback ends; the whole file, as nothing here shortens it.
    virtual std::optional<qint64> StopPosition() const = 0;
    // An absolute seek; the stop position stays.
    virtual void SetCurrentPosition(qint64 milliseconds) = 0;
};

} // namespace preview
