#pragma once

#include <QPoint>
#include <testclips.h>

class QSlider;

namespace previewtest {

// Where a press picks up the thumb rather than paging along the groove.
QPoint thumbCentre(const QSlider &slider);

// Presses and releases the left button on the thumb.
void clickThumb(QSlider &slider);

} // namespace previewtest
