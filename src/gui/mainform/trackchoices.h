#pragma once

#include <QString>
#include <QStringList>

namespace mainform {

// The captions of an Output grid track row and, side by side, the task field each one stores:
// "" for the profile's rule, "all", "none" or a stream's index.
struct TrackChoices {
    QStringList captions;
    QStringList values;

    // The caption showing a stored pick; the rule's for a pick the task's tracks no longer hold.
    QString captionOf(const QString &value) const;
    // The pick a caption stands for; the rule's for one that is no caption.
    QString valueOf(const QString &caption) const;
};

// tracks: the task's stream listing, empty for a task listed before tracks were kept.
// languages: the preferred ones, "eng,ger"; the first names the automatic choice.
TrackChoices audioTrackChoices(const QString &tracks, const QString &languages);
TrackChoices subtitleChoices(const QString &tracks, const QString &languages);

} // namespace mainform
