#pragma once

#include <QPoint>
#include <QString>

class QSlider;

namespace previewtest {

// Generates a clip with FFmpeg's test sources: a counting picture and a tone.
bool makeClip(const QString &path, double seconds);

// Where a press picks up the thumb rather than paging along the groove.
QPoint thumbCentre(const QSlider &slider);

// Presses and releases the left button on the thumb.
void clickThumb(QSlider &slider);

} // namespace previewtest
