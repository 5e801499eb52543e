// The main window's ways of adding inputs: the open dialog, a folder, files dropped on it.
#include "core/conversion/probequeue.h"
#include "core/preferences/programvalues.h"
#include "core/tasks/inputfiles.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/runcontrol.h"
#include "gui/mainform/turnoffnotice.h"
#include "gui/widgets/errordisplay.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <functional>

namespace mainform {

namespace {

// Hears the window's close without taking part in it: what the window decides is known only
// after its own handler, so the answer is read at the next turn of the event loop.
class CloseWatch final : public QObject {
public:
    CloseWatch(QWidget *window, std::function<void()> closed) : QObject(window), m_closed(std::move(closed))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close)
            QTimer::singleShot(0, this, m_closed);
        return false;
    }

private:
    std::function<void()> m_closed;
};

bool isListed(const QTreeWidget &list, const QString &path)
{
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (list.topLevelItem(row)->text(0) == path)
            return true;
    }
    return false;
}

} // namespace

// Made with the first file added: the encoder's path is known by then.
conversion::ProbeQueue &TMainForm::inputProbes()
{
    if (m_probes)
        return *m_probes;
    m_probes = std::make_unique<conversion::ProbeQueue>(m_services.processes, m_values.encoderPath);
    m_probes->setTimeLimit(m_probeTimeLimitMs);
    connect(m_probes.get(), &conversion::ProbeQueue::probed, this, &TMainForm::inputProbed);
    connect(m_probes.get(), &conversion::ProbeQueue::idle, this, &TMainForm::inputsProbed);
    new CloseWatch(this, [this] {
        if (!m_runControl->closing())
            return;
        m_probes->cancel();
        m_runControl->cancelPendingStart();
        m_selectLoneTask = false;
    });
    return *m_probes;
}

void TMainForm::setProbeTimeLimit(int milliseconds)
{
    m_probeTimeLimitMs = milliseconds;
    if (m_probes)
        m_probes->setTimeLimit(milliseconds);
}

bool TMainForm::probingInputs() const
{
    return m_probes && !m_probes->isIdle();
}

void TMainForm::ProbeMedia(const QString &path, bool unconfirmed)
{
    inputProbes().append(path, unconfirmed);
}

void TMainForm::AddInputFile(const QString &path)
{
    if (!runIsIdle())
        return;
    panbg->hide();
    if (!isListed(*ltvTask, path))
        ProbeMedia(path);
}

void TMainForm::AddInputDirectory(const QString &directory)
{
    if (!runIsIdle())
        return;
    const QString folder = preferences::IncludeTrailingBackslash(directory);
    for (const QString &name : tasks::ListSupportedFiles(directory)) {
        const QString path = folder + name;
        if (tasks::NeedsStreamCheck(path))
            ProbeMedia(path, true);
        else
            AddInputFile(path);
    }
    if (const QStringList leftOut = tasks::UndecodableFileSentences(directory); !leftOut.isEmpty()) {
        m_services.dialogs.messageBox(this, preferences::ProgramName, leftOut.join(QLatin1Char('\n')),
                                      platform::MessageIcon::Warning, platform::MessageButton::Ok);
    }
}

// Rows come in the order their files were added, each as its probe ends; the same file handed
// over twice meanwhile is listed once.
void TMainForm::inputProbed(const QString &path, const tasks::ProbeResults &probe)
{
    m_probe = probe;
    if (m_runControl->closing() || !runIsIdle())
        return;
    panbg->hide();
    if (isListed(*ltvTask, path))
        return;
    auto *row = new QTreeWidgetItem(QStringList{path});
    ltvTask->addTopLevelItem(row);
    const ltvItemData record = tasks::newTaskRecord(path, probe, outputExtension());
    for (int sub = 0; sub < tasks::SubItemCount; ++sub)
        row->setText(sub + 1, QString());
    WriteTask(ltvTask->topLevelItemCount() - 1, tasks::SelectWholeRow, record);
    EnableListButtonsIfTasks();
}

void TMainForm::inputsProbed()
{
    if (std::exchange(m_selectLoneTask, false) && ltvTask->topLevelItemCount() == 1) {
        ltvTask->topLevelItem(0)->setSelected(true);
        ltvTaskClick();
    }
    m_runControl->inputsListed();
}

void TMainForm::tbtnAddFileClick()
{
    // The user is back: the computer stays on.
    TurnOffNotice->cancel();
    const QStringList chosen = m_services.dialogs.openFiles(this, m_openDialogFilter);
    // The dialog hands the first chosen name over last.
    for (qsizetype i = 1; i < chosen.size(); ++i)
        AddInputFile(chosen.at(i));
    if (!chosen.isEmpty())
        AddInputFile(chosen.constFirst());
    // A lone task is selected, once the chosen files are listed.
    m_selectLoneTask = true;
    if (!probingInputs())
        inputsProbed();
    ltvTask->setFocus();
    EnableListButtonsIfTasks();
}

void TMainForm::tbtnAddDirClick()
{
    TurnOffNotice->cancel();
    QString folder;
    if (SelectDirectory(this, QStringLiteral("Add a directory to the Task List"), QString(), folder))
        AddInputDirectory(folder);
    ltvTask->setFocus();
    EnableListButtonsIfTasks();
}

void TMainForm::DropFiles(const QStringList &paths)
{
    if (!runIsIdle() || !ltvTask->isEnabled())
        return;
    TurnOffNotice->cancel();
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir())
            AddInputDirectory(path);
        else if (tasks::HasSupportedExtension(path))
            AddInputFile(path);
    }
    EnableListButtonsIfTasks();
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
    DropFiles(paths);
}

} // namespace mainform
