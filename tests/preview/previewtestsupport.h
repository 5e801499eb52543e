#pragma once

#include "helpers/testclips.h"

#include <QPoint>

class QSlider;

namespace previewtest {

// Where a press picks up the thumb rather than paging along the groove.
QPoint thumbCentre(const QSlider &slider);

// Presses and releases the left button on the thumb.
void clickThumb(QSlider &slider);

} // namespace previewtest
