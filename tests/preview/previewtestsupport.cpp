#include "preview/previewtestsupport.h"

#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace previewtest {

QPoint thumbCentre(const QSlider &slider)
{
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.subControls = QStyle::SC_All;
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.singleStep = slider.singleStep();
    option.pageStep = slider.pageStep();
    option.tickPosition = slider.tickPosition();
    option.tickInterval = slider.tickInterval();
    option.upsideDown = slider.invertedAppearance() != (slider.layoutDirection() == Qt::RightToLeft);
    return slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider).center();
}

void clickThumb(QSlider &slider)
{
    const QPoint thumb = thumbCentre(slider);
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, thumb);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, thumb);
}

} // namespace previewtest
