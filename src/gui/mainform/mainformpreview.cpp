// The main window's preview commands: the three buttons and playing a task's input.
#include "gui/mainform/mainform.h"
#include "gui/preview/directshowexception.h"
#include "gui/preview/filtergraph.h"
#include "gui/preview/previewplayer.h"
#include "gui/widgets/errordisplay.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>

namespace mainform {

void TMainForm::createPreviewPlayer()
{
    FilterGraph = new preview::TFilterGraph(this);
    FilterGraph->setObjectName(QStringLiteral("FilterGraph"));
    m_preview = std::make_unique<preview::PreviewPlayer>(*FilterGraph, *VideoWindow1, *TrackBar, *labPreviewTime);
    connect(FilterGraph, &preview::TFilterGraph::RenderFailed, this,
            [](const QString &message) { widgets::showError(preview::EDirectShowException(message)); });
    // A file that cannot be played raises from deep inside these; it ends only this command.
    connect(sbtnPlay, &QToolButton::clicked, this, widgets::guarded([this] { sbtnPlayClick(); }));
    connect(sbtnPause, &QToolButton::clicked, this, widgets::guarded([this] { sbtnPauseClick(); }));
    connect(sbtnStop, &QToolButton::clicked, this, widgets::guarded([this] { sbtnStopClick(); }));
    connect(ltvTask, &QTreeWidget::itemDoubleClicked, this, widgets::guarded([this] { ltvTaskDblClick(); }));
    for (QAction *action : ppmTask->actions()) {
        if (action->objectName() == QLatin1String("mnuOpen"))
            connect(action, &QAction::triggered, this, widgets::guarded([this] { ltvTaskDblClick(); }));
    }
}

void TMainForm::PreviewTask()
{
    ltvItemData task;
    ReadTask(firstSelectedTask(), tasks::SelectCaption, task);
    m_preview->PreviewTask(task.InputFile);
}

void TMainForm::sbtnPlayClick()
{
    if (ltvTask->topLevelItemCount() == 0)
        return;
    if (firstSelectedTask() < 0) {
        ltvTask->setCurrentItem(ltvTask->topLevelItem(0));
        ltvTask->topLevelItem(0)->setSelected(true);
    }
    PreviewTask();
}

void TMainForm::sbtnPauseClick()
{
    m_preview->PauseResume();
}

void TMainForm::sbtnStopClick()
{
    m_preview->Stop();
}

} // namespace mainform
