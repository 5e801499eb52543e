// The main window's side of the task list: the handlers that hand their commands to it, the
// popup menu, and each task's own output settings in the Output grid.
#include "core/platform/pathdelimiter.h"
#include "core/profiles/designedrows.h"
#include "core/tasks/inputfiles.h"
#include "core/tasks/tasktrim.h"
#include "core/tasks/timetext.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/tasklist.h"
#include "gui/mainform/tasklistrows.h"
#include "gui/mainform/trackchoices.h"
#include "gui/settings/settingform.h"
#include "gui/widgets/balloontip.h"

#include <QAction>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QStyle>
#include <QTreeWidget>
#include <QUrl>

namespace mainform {

namespace {
const QString NewFilenameKey = QStringLiteral("New Filename");
const QString StartTimeKey = QStringLiteral("Start Time");
const QString EndTimeKey = QStringLiteral("End Time");
} // namespace

int TMainForm::firstSelectedTask() const
{
    return m_taskList->firstSelectedTask();
}

void TMainForm::tbtnAddFileClick()
{
    m_taskList->addFromOpenDialog();
}

void TMainForm::tbtnAddDirClick()
{
    m_taskList->addFromFolderDialog();
}

void TMainForm::tbtnUpClick()
{
    m_taskList->moveSelectedUp();
}

void TMainForm::tbtnDownClick()
{
    m_taskList->moveSelectedDown();
}

void TMainForm::emptyOutputSettings()
{
    SetGridValue(0, NewFilenameKey, QString());
    SetGridValue(0, StartTimeKey, QString());
    SetGridValue(0, EndTimeKey, QString());
    showTrackChoices(-1);
}

QString TMainForm::preferredAudioLanguages() const
{
    return SettingForm->generalPreferences().audioLanguages;
}

QString TMainForm::preferredSubtitleLanguages() const
{
    return SettingForm->generalPreferences().subtitleLanguages;
}

void TMainForm::showTrackChoices(int row)
{
    const tasks::Task task = row < 0 ? tasks::Task() : taskAt(*ltvTask, row);
    const auto show = [this, row](const QString &key, const TrackChoices &choices, const QString &choice) {
        const int gridRow = vleOutput->findRow(key);
        vleOutput->setPickList(gridRow, row < 0 ? QStringList() : choices.captions);
        vleOutput->setValue(gridRow, row < 0 ? QString() : choices.captionOf(choice));
    };
    show(profiles::AudioTrackKey, audioTrackChoices(task.tracks, preferredAudioLanguages()), task.audioChoice);
    show(profiles::SubtitlesKey, subtitleChoices(task.tracks, preferredSubtitleLanguages()), task.subtitleChoice);
}

void TMainForm::tbtnRemoveClick()
{
    m_taskList->removeSelected();
    emptyOutputSettings();
    if (ltvTask->topLevelItemCount() == 0)
        SetListButtonsEnabled(false);
}

void TMainForm::tbtnClearClick()
{
    m_taskList->clear();
    emptyOutputSettings();
    SetListButtonsEnabled(false);
}

bool TMainForm::ltvTaskKeyDown(int key)
{
    if (key == Qt::Key_Backspace) {
        tbtnClearClick();
        return true;
    }
    if (key == Qt::Key_Delete) {
        tbtnRemoveClick();
        return true;
    }
    return false;
}

void TMainForm::SetGridValue(int grid, const QString &key, const QString &value)
{
    grids::KeyValueGrid *const grids[] = {vleOutput, vleVideo, vleAudio, vleAdvanced};
    if (grid >= 0 && grid < int(std::size(grids)))
        grids[grid]->SetGridValue(key, value);
}

void TMainForm::ltvTaskClick()
{
    const int row = firstSelectedTask();
    if (row < 0)
        return emptyOutputSettings();
    ltvItemData task;
    ReadTask(row, tasks::SelectWholeRow, task);
    SetGridValue(0, NewFilenameKey, task.NewName + outputExtension());
    SetGridValue(0, StartTimeKey, task.StartText);
    SetGridValue(0, EndTimeKey, task.EndText);
    showTrackChoices(row);
}

void TMainForm::vleOutputMouseDown()
{
    if (!vleOutput->valueOf(NewFilenameKey).isEmpty()) {
        repaintParameterGrids();
        return;
    }
    // Leaving the current cell closes the in-place editor.
    vleOutput->setCurrentIndex(QModelIndex());
    // One tip at a time: a new press moves the same tip.
    if (!m_tip)
        m_tip = new widgets::BalloonTip(this);
    m_tip->showAt(QCursor::pos(), style()->standardIcon(QStyle::SP_MessageBoxInformation), QStringLiteral("Tip:"),
                  QStringLiteral("Please select a file in Task List."));
}

void TMainForm::repaintParameterGrids()
{
    for (grids::KeyValueGrid *grid : {vleOutput, vleVideo, vleAudio, vleAdvanced})
        grid->viewport()->update();
}

void TMainForm::vleOutputValidate()
{
    const int row = firstSelectedTask();
    if (row < 0)
        return;
    ltvItemData task;
    ReadTask(row, tasks::SelectWholeRow, task);
    const QString name = vleOutput->valueOf(NewFilenameKey);
    // A name holding a directory would put the output outside the output folder.
    if (!name.contains(platform::PathDelimiter)) {
        task.NewName = tasks::StripExtension(name);
        task.OutputExt = tasks::ExtractFileExt(name);
    }
    tasks::applyStartAndEnd(task, vleOutput->valueOf(StartTimeKey), vleOutput->valueOf(EndTimeKey));
    for (int selector :
         {tasks::SelectNewName, tasks::SelectOutputExt, tasks::SelectSpan, tasks::SelectStart, tasks::SelectEnd})
        WriteTask(row, selector, task);
    tasks::Task picks = taskAt(*ltvTask, row);
    // Rows not yet filled for this task say nothing of its picks.
    const auto take = [this](QString &choice, const TrackChoices &choices, const QString &key) {
        if (const QString shown = vleOutput->valueOf(key); choices.captions.contains(shown))
            choice = choices.valueOf(shown);
    };
    take(picks.audioChoice, audioTrackChoices(picks.tracks, preferredAudioLanguages()), profiles::AudioTrackKey);
    take(picks.subtitleChoice, subtitleChoices(picks.tracks, preferredSubtitleLanguages()), profiles::SubtitlesKey);
    setTaskAt(*ltvTask, row, std::move(picks));
}

void TMainForm::ltvTaskDblClick()
{
    if (firstSelectedTask() >= 0)
        PreviewTask();
}

void TMainForm::ppmTaskPopup()
{
    const int selected = firstSelectedTask();
    for (QAction *action : ppmTask->actions()) {
        const QString name = action->objectName();
        if (name == QLatin1String("mnuOpen") || name == QLatin1String("mnuRemove"))
            action->setEnabled(selected >= 0);
        else if (name == QLatin1String("mnuShowLog"))
            action->setEnabled(selected >= 0 && !m_taskList->failureLog(selected).isEmpty());
        else if (name == QLatin1String("mnuClear"))
            action->setEnabled(ltvTask->topLevelItemCount() > 0);
    }
}

void TMainForm::ShowFailureLog()
{
    const int selected = firstSelectedTask();
    if (selected < 0)
        return;
    const QString input = ltvTask->topLevelItem(selected)->text(0);
    const QString log = m_taskList->failureLog(selected);
    m_services.dialogs.messageBox(this, QStringLiteral("Show Log"),
                                  log.isEmpty() ? QStringLiteral("No encoder output is kept for \"%1\".").arg(input)
                                                : QStringLiteral("%1\n\n%2").arg(input, log),
                                  platform::MessageIcon::Information, platform::MessageButton::Ok);
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() && runIsIdle() && ltvTask->isEnabled())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    m_taskList->DropFiles(paths);
}

} // namespace mainform
