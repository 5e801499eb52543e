#pragma once

#include "core/tasks/task.h"
#include "core/tasks/taskjournal.h"

#include <QObject>
#include <QSet>
#include <QStringList>

#include <memory>

namespace conversion {
class ProbeQueue;
struct ProbeResults;
} // namespace conversion
namespace platform {
struct Services;
}
namespace tasks {
class JournalSlot;
class JournalWriter;
} // namespace tasks

namespace mainform {

class TMainForm;

// The main window's task list at work: adding inputs and probing them, editing the rows, and the
// journal that offers the list back after a crash. The window's handlers call it; its rows are
// the window's ltvTask.
class TaskList : public QObject {
    Q_OBJECT

public:
    TaskList(TMainForm &form, platform::Services &services);
    ~TaskList() override;

    int firstSelectedTask() const;
    // The encoder output kept of the row's last run when it failed or was left incomplete.
    QString failureLog(int row) const;

    // Adding.
    void AddInputFile(const QString &path);
    void AddInputDirectory(const QString &directory);
    // Hands path to the probes in the background; an unconfirmed one is listed only if they find a stream.
    void ProbeMedia(const QString &path, bool unconfirmed = false);
    void AddStartupInputs(const QStringList &arguments);
    void addFromOpenDialog();
    void addFromFolderDialog();
    // Adds dropped files and folders, unless a run has the list.
    void DropFiles(const QStringList &paths);
    // How long a probe may take before its file is added without a length.
    void setProbeTimeLimit(int milliseconds);
    // Whether added files are still being probed: their rows come as their probes end.
    bool probingInputs() const;
    // The window closes: anything still adding inputs stops at the next file.
    void stopAdding() { m_closing = true; }

    // Editing.
    void moveSelectedUp();
    void moveSelectedDown();
    void removeSelected();
    void clear();

    // The journal.
    // Offers back the list of a session that did not close normally, and begins this one's journal.
    void RestoreTaskList();
    // The profile and folder of a restored list, once the window shows its stored ones.
    void applyRestoredRunSettings();
    // Where the journal of this list is kept; empty when it keeps none.
    QString journalPath() const;
    // A task began or ended: worth keeping at once.
    void journalChangedNow();
    // A close the user did not ask for (a termination request, a shutdown) keeps the list for the
    // next start.
    void keepJournalAtClose() { m_keepJournalAtClose = true; }
    void closeJournal();

signals:
    // The files added so far are listed; not while the window closes.
    void inputsListed();
    // The window closed while files were being added: they will not be listed.
    void addingCancelled();

private:
    void exchangeTasks(int from, int to);
    conversion::ProbeQueue &inputProbes();
    void inputProbed(const QString &path, const conversion::ProbeResults &probe);
    void inputsProbed();
    bool offerTaskJournal(const tasks::JournalSlot &slot, const QByteArray &bytes);
    void startTaskJournal();
    void restoreTasks(tasks::TaskJournal journal);
    QString outputDecidingSettings() const;
    void forgetConvertedEarlierIfChanged();
    tasks::TaskJournal journalOfTaskList() const;
    void noticeJournalProblem(const QString &cause);

    TMainForm &m_form;
    platform::Services &m_services;

    std::unique_ptr<conversion::ProbeQueue> m_probes;
    int m_probeTimeLimitMs;
    bool m_selectLoneTask = false; // the dialog's files are being probed
    bool m_closing = false;

    std::unique_ptr<tasks::JournalSlot> m_journalSlot;
    std::unique_ptr<tasks::JournalWriter> m_journal;
    QString m_restoredProfile;
    QString m_restoredOutputFolder;
    // The settings a restored list's converted rows were converted with, as far as it is known.
    QString m_restoredRunSettings;
    QSet<QString> m_journalProblems; // each told once
    bool m_keepJournalAtClose = false;
};

} // namespace mainform
