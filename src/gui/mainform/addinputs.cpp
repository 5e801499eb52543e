// The main window's ways of adding inputs: the open dialog, a folder, files dropped on it.
#include <mainform.h>
#include <programvalues.h>
#include <turnoffnotice.h>

#include "inputfiles.h"
#include "mediaprobe.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

void TMainForm::ProbeMedia(const QString &path)
{
    m_probe = tasks::ProbeMedia(m_services.processes, m_values.encoderPath, path, m_probeTimeLimitMs);
}

void TMainForm::AddInputFile(const QString &path)
{
    if (!runIsIdle())
        return;
    panbg->hide();
    for (int row = 0; row < ltvTask->topLevelItemCount(); ++row) {
        if (ltvTask->topLevelItem(row)->text(0) == path)
            return;
    }
    auto *row = new QTreeWidgetItem(QStringList{path});
    ltvTask->addTopLevelItem(row);
    ProbeMedia(path);
    const ltvItemData record = tasks::newTaskRecord(path, m_probe, m_outputExtension);
    for (int sub = 0; sub < tasks::SubItemCount; ++sub)
        row->setText(sub + 1, QString());
    WriteTask(ltvTask->topLevelItemCount() - 1, tasks::SelectWholeRow, record);
}

void TMainForm::AddInputDirectory(const QString &directory)
{
    if (!runIsIdle())
        return;
    const QString folder = app::IncludeTrailingBackslash(directory);
    for (const QString &name : tasks::ListSupportedFiles(directory)) {
        // The list visibly fills, and the window stays live, while a large folder is added; a
        // close or a run started meanwhile ends the adding.
        QCoreApplication::processEvents();
        if (m_closing || !runIsIdle())
            return;
        const QString path = folder + name;
        if (tasks::NeedsStreamCheck(path)) {
            ProbeMedia(path);
            if (!tasks::FoundStream(m_probe))
                continue;
        }
        AddInputFile(path);
    }
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
    if (ltvTask->topLevelItemCount() == 1) {
        ltvTask->topLevelItem(0)->setSelected(true);
        ltvTaskClick();
    }
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
