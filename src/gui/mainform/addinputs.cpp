// The task list's ways of adding inputs: the open dialog, a folder, files dropped on the window,
// the command line, each file probed in the background before its row comes.
#include "core/conversion/mediaprobe.h"
#include "core/conversion/probequeue.h"
#include "core/platform/services.h"
#include "core/preferences/programvalues.h"
#include "core/tasks/inputfiles.h"
#include "core/tasks/startupinputs.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/tasklist.h"
#include "gui/mainform/tasklistrows.h"
#include "gui/mainform/turnoffnotice.h"

#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace mainform {

namespace {

// Hears the window's close without taking part in it: what the window decides is known only
// after its own handler, so the answer is read at the next turn of the event loop.
class CloseWatch final : public QObject {
public:
    CloseWatch(QWidget *window, QObject *owner, std::function<void()> closed)
        : QObject(owner)
        , m_closed(std::move(closed))
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
conversion::ProbeQueue &TaskList::inputProbes()
{
    if (m_probes)
        return *m_probes;
    m_probes = std::make_unique<conversion::ProbeQueue>(m_services.processes, m_form.programValues().encoderPath);
    m_probes->setTimeLimit(m_probeTimeLimitMs);
    connect(m_probes.get(), &conversion::ProbeQueue::probed, this, &TaskList::inputProbed);
    connect(m_probes.get(), &conversion::ProbeQueue::idle, this, &TaskList::inputsProbed);
    new CloseWatch(&m_form, this, [this] {
        if (!m_closing)
            return;
        m_probes->cancel();
        m_selectLoneTask = false;
        emit addingCancelled();
    });
    return *m_probes;
}

void TaskList::setProbeTimeLimit(int milliseconds)
{
    m_probeTimeLimitMs = milliseconds;
    if (m_probes)
        m_probes->setTimeLimit(milliseconds);
}

bool TaskList::probingInputs() const
{
    return m_probes && !m_probes->isIdle();
}

void TaskList::ProbeMedia(const QString &path, bool unconfirmed)
{
    inputProbes().append(path, unconfirmed);
}

void TaskList::AddInputFile(const QString &path)
{
    if (!m_form.runIsIdle())
        return;
    m_form.panbg->hide();
    if (!isListed(*m_form.ltvTask, path))
        ProbeMedia(path);
}

void TaskList::AddInputDirectory(const QString &directory)
{
    if (!m_form.runIsIdle())
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
        m_services.dialogs.messageBox(&m_form, preferences::ProgramName, leftOut.join(QLatin1Char('\n')),
                                      platform::MessageIcon::Warning, platform::MessageButton::Ok);
    }
}

void TaskList::AddStartupInputs(const QStringList &arguments)
{
    for (const QString &path : tasks::startupInputPaths(arguments)) {
        const QFileInfo input(path);
        if (input.isFile() && tasks::HasSupportedExtension(path))
            AddInputFile(path);
        else if (input.isDir())
            AddInputDirectory(path);
    }
}

// Rows come in the order their files were added, each as its probe ends; the same file handed
// over twice meanwhile is listed once.
void TaskList::inputProbed(const QString &path, const conversion::ProbeResults &probe)
{
    if (m_closing || !m_form.runIsIdle())
        return;
    m_form.panbg->hide();
    if (isListed(*m_form.ltvTask, path))
        return;
    m_form.ltvTask->addTopLevelItem(new TaskRow(conversion::newTask(path, probe, m_form.outputExtension())));
    m_form.EnableListButtonsIfTasks();
}

void TaskList::inputsProbed()
{
    if (std::exchange(m_selectLoneTask, false) && m_form.ltvTask->topLevelItemCount() == 1) {
        m_form.ltvTask->topLevelItem(0)->setSelected(true);
        m_form.ltvTaskClick();
    }
    // The run takes every file the user added before it, those probed after the press too.
    if (!m_closing)
        emit inputsListed();
}

void TaskList::addFromOpenDialog()
{
    // The user is back: the computer stays on.
    m_form.TurnOffNotice->cancel();
    const QStringList chosen = m_services.dialogs.openFiles(&m_form, m_form.openDialogFilter());
    // The dialog hands the first chosen name over last.
    for (qsizetype i = 1; i < chosen.size(); ++i)
        AddInputFile(chosen.at(i));
    if (!chosen.isEmpty())
        AddInputFile(chosen.constFirst());
    // A lone task is selected, once the chosen files are listed.
    m_selectLoneTask = true;
    if (!probingInputs())
        inputsProbed();
    m_form.ltvTask->setFocus();
    m_form.EnableListButtonsIfTasks();
}

void TaskList::addFromFolderDialog()
{
    m_form.TurnOffNotice->cancel();
    QString folder;
    if (m_form.SelectDirectory(&m_form, QStringLiteral("Add a directory to the Task List"), QString(), folder))
        AddInputDirectory(folder);
    m_form.ltvTask->setFocus();
    m_form.EnableListButtonsIfTasks();
}

void TaskList::DropFiles(const QStringList &paths)
{
    if (!m_form.runIsIdle() || !m_form.ltvTask->isEnabled())
        return;
    m_form.TurnOffNotice->cancel();
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir())
            AddInputDirectory(path);
        else if (tasks::HasSupportedExtension(path))
            AddInputFile(path);
    }
    m_form.EnableListButtonsIfTasks();
}

} // namespace mainform
