// Builds the right panel: the profile detail grids above, the preview below.
#include "core/profiles/designedrows.h"
#include "gui/grids/gridsection.h"
#include "gui/grids/gridsectionstack.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/mainform/formparts.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/windowgeometry.h"
#include "gui/preview/dstrackbar.h"
#include "gui/preview/videowindow.h"
#include "gui/widgets/splitterbar.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace mainform {

namespace {
constexpr int PreviewCollapseHeight = 30;
} // namespace

void TMainForm::createRightPanel()
{
    auto *stack = new QVBoxLayout(panProfile);
    stack->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Vertical, panProfile);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(4);
    stack->addWidget(Splitter1);

    auto *upper = panel(Splitter1, QStringLiteral("panProfileUpper"));
    upper->setMinimumHeight(30);
    auto *upperRow = new QHBoxLayout(upper);
    upperRow->setContentsMargins(0, 0, 0, 0);
    upperRow->setSpacing(0);
    gpbProfile = new QGroupBox(QStringLiteral("Profile Detail"), upper);
    gpbProfile->setObjectName(QStringLiteral("gpbProfile"));
    gpbProfile->setAccessibleName(QStringLiteral("Profile Detail"));
    createProfileSections();
    panRight = panel(upper, QStringLiteral("panRight"));
    panRight->setFixedWidth(10);
    upperRow->addWidget(gpbProfile, 1);
    upperRow->addWidget(panRight);

    panPreview = panel(Splitter1, QStringLiteral("panPreview"));
    // Any height can be dragged to; one of 30 pixels or less collapses the preview to nothing.
    panPreview->setMinimumHeight(1);
    auto *previewRows = new QVBoxLayout(panPreview);
    previewRows->setContentsMargins(0, 0, 0, 0);
    previewRows->setSpacing(0);
    auto *videoRow = new QHBoxLayout;
    videoRow->setSpacing(0);
    VideoWindow1 = new preview::TVideoWindow(panPreview);
    panRight1 = panel(panPreview, QStringLiteral("panRight1"));
    panRight1->setFixedWidth(10);
    videoRow->addWidget(VideoWindow1, 1);
    videoRow->addWidget(panRight1);
    previewRows->addLayout(videoRow, 1);

    panPreviewButton = panel(panPreview, QStringLiteral("panPreviewButton"));
    panPreviewButton->setFixedHeight(54);
    previewRows->addWidget(panPreviewButton);
    TrackBar = new preview::TDSTrackBar(panPreviewButton);
    TrackBar->setGeometry(0, 0, 190, 21);
    sbtnPlay = flatButton(panPreviewButton, QStringLiteral("sbtnPlay"), QStringLiteral("Play"), QStringLiteral("play"));
    sbtnPause = flatButton(panPreviewButton, QStringLiteral("sbtnPause"), QStringLiteral("Pause / Resume"),
                           QStringLiteral("pause"));
    sbtnStop =
        flatButton(panPreviewButton, QStringLiteral("sbtnStop"), QStringLiteral("Stop"), QStringLiteral("stop-small"));
    sbtnPlay->setGeometry(9, 26, 39, 22);
    sbtnPause->setGeometry(48, 26, 39, 22);
    sbtnStop->setGeometry(87, 26, 39, 22);
    labPreviewTime =
        valueLabel(panPreviewButton, QStringLiteral("labPreviewTime"), QStringLiteral("00:00:00"), 136, 29);
    labPreviewTime->setFixedWidth(57);

    Splitter1->addWidget(upper);
    Splitter1->addWidget(panPreview);
    Splitter1->setCollapsible(0, false);
    Splitter1->setCollapsible(1, true);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({300, 177});
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] {
        const QList<int> sizes = Splitter1->sizes();
        if (sizes.value(1) > 0 && sizes.value(1) <= PreviewCollapseHeight)
            Splitter1->setSizes({sizes.value(0) + sizes.value(1), 0});
    });
}

// The grids never scroll sideways, so the right panel takes the width their keys and values need;
// the main area gives it up, and the window grows instead while the main area has no more than
// its designed width. Only a shown window has the widths to compare.
// The loaded profile's keys and values are shown whole: the panel widens for them and the window
// grows to keep the list its designed room, but never past the screen, and a width the user gave
// the panel by dragging is left alone.
void TMainForm::widenRightPanelForGrids()
{
    if (m_panelDragged || !profileSections->isVisible())
        return;
    const int extra = profileSections->minimumSizeHint().width() - profileSections->width();
    if (extra <= 0)
        return;
    int growth = 0;
    if (!isMaximized() && !isFullScreen()) {
        const int shortfall = qMax(0, qMin(extra, mainform::DesignedMainAreaWidth - (panMain->width() - extra)));
        const QRect screenArea = screen() ? screen()->availableGeometry() : QRect();
        const int room = screenArea.isValid() ? screenArea.width() - frameGeometry().width() : shortfall;
        growth = qBound(0, shortfall, room);
    }
    const int widest =
        centralWidget()->width() + growth - panSplitter->width() - 2 * mainform::MinimumWidth - panLeft->width();
    panProfile->setFixedWidth(qMin(panProfile->width() + extra, qMax(panProfile->width(), widest)));
    if (growth == 0)
        return;
    resize(width() + growth, height());
    // Growing as it first appears, the window stays in the middle of the screen.
    if (m_centreWhenGrowing && screen()) {
        const QRect screenArea = screen()->availableGeometry();
        move(qMax(screenArea.left(), x() - growth / 2), y());
    }
}

void TMainForm::createProfileSections()
{
    auto *inside = new QVBoxLayout(gpbProfile);
    inside->setContentsMargins(2, 2, 2, 2);
    profileSections = new grids::GridSectionStack(gpbProfile);
    profileSections->setObjectName(QStringLiteral("sbxProfile"));
    profileSections->setAccessibleName(QStringLiteral("Profile Detail"));
    inside->addWidget(profileSections);
    vleOutput = profileSections->addDesignedSection(profiles::DesignedGrid::Output, 95);
    vleVideo = profileSections->addDesignedSection(profiles::DesignedGrid::Video, 95);
    vleAudio = profileSections->addDesignedSection(profiles::DesignedGrid::Audio, 95);
    vleAdvanced = profileSections->addDesignedSection(profiles::DesignedGrid::Advanced, 95);
    for (grids::GridSection *section : profileSections->sections())
        section->setHeaderDoubleClickToggles(true);
    for (const QString &key : {profiles::AudioTrackKey, profiles::SubtitlesKey})
        vleOutput->setEditStyle(vleOutput->findRow(key), grids::KeyValueGrid::EditStyle::PickList);
}

} // namespace mainform
