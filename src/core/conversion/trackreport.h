#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace conversion {

// What the encoder said it did with each stream of a task's input: the tracks' labels ("1:
// English AC-3 5.1"), and for one left out its label and why ("2: French AC-3 5.1, by Audio
// Tracks = Preferred language"). Empty when the encoder planned no tracks.
struct TrackReport {
    QStringList kept;
    QStringList burnedIn;
    QStringList leftOut;

    bool isEmpty() const { return kept.isEmpty() && burnedIn.isEmpty() && leftOut.isEmpty(); }
    bool operator==(const TrackReport &) const = default;
};

// Takes a line of the encoder's that tells of a track ("kept: ", "burned in: ", "left out: ");
// false, and nothing taken, for any other line.
bool takeTrackLine(TrackReport &report, QStringView line);

} // namespace conversion
