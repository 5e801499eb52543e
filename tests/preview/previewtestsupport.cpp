#include "previewtestsupport.h"

#include <QProcess>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace previewtest {

bool makeClip(const QString &path, double seconds)
{
    const QString duration = QString::number(seconds);
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + duration,
                  "-f", "lavfi", "-i", "sine=duration=" + duration, "-c:v", "mpeg4", "-c:a", "mp3", path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

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
