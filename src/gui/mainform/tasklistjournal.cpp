// The journal of the task list: written while the window is open, offered back at the start
// after a crash, a kill or a power cut, and removed by a close the user asked for.
#include "core/platform/services.h"
#include "core/tasks/journalslot.h"
#include "core/tasks/journalwriter.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/tasklist.h"
#include "gui/mainform/tasklistrows.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QSet>
#include <QTreeWidget>

namespace mainform {

namespace {
const QString RestoreQuestion = QStringLiteral("The program ended while %1 tasks were waiting. Restore them?");
const QString RestoreOneQuestion = QStringLiteral("The program ended while 1 task was waiting. Restore it?");
const QString UnreadableJournal = QStringLiteral(
    "The task list of the last session could not be restored because %1; the program starts with an empty "
    "list and keeps the file as \"%2\".");
const QString JournalNotKept =
    QStringLiteral("The task list cannot be kept: %1; it will not be offered back after a crash.");
} // namespace

void TaskList::RestoreTaskList()
{
    const QString folder = m_form.programValues().locations.journalDirectory;
    QString problem;
    m_journalSlot = tasks::JournalSlot::claim(folder, &problem);
    if (!m_journalSlot) {
        noticeJournalProblem(problem);
        return;
    }
    if (m_journalSlot->hasJournal()) {
        const std::optional<QByteArray> bytes = m_journalSlot->readJournal(&problem);
        if (!bytes) {
            // Left as it is: what this window cannot read it must not write over either.
            m_journalSlot.reset();
            noticeJournalProblem(problem);
            return;
        }
        offerTaskJournal(*m_journalSlot, *bytes);
    }
    startTaskJournal();
    // Lists of other windows that died, whose slots no window has claimed since.
    for (const auto &left : tasks::JournalSlot::claimLeftBehind(folder)) {
        const std::optional<QByteArray> bytes = left->readJournal(&problem);
        if (!bytes || !offerTaskJournal(*left, *bytes))
            continue;
        // Its tasks are in this window's journal before its own goes.
        m_journal->flush();
        if (m_journal->lastError().isEmpty())
            left->removeJournal();
    }
    // What was restored is the journal now, with its interrupted tasks settled.
    if (m_form.ltvTask->topLevelItemCount() > 0)
        m_journal->changed();
}

// True when the user took the list back. A list with nothing left to convert is set aside
// without a question, as a declined one is.
bool TaskList::offerTaskJournal(const tasks::JournalSlot &slot, const QByteArray &bytes)
{
    QString problem;
    std::optional<tasks::TaskJournal> journal = tasks::decodeTaskJournal(bytes, &problem);
    if (!journal) {
        slot.moveJournalTo(slot.unreadablePath());
        m_services.dialogs.messageBox(&m_form, preferences::ProgramName,
                                      UnreadableJournal.arg(problem, slot.unreadablePath()),
                                      platform::MessageIcon::Warning, platform::MessageButton::Ok);
        return false;
    }
    if (journal->tasks.isEmpty())
        return false;
    const int waiting = tasks::waitingTaskCount(*journal);
    if (waiting > 0) {
        const auto answer = m_services.dialogs.messageBox(
            &m_form, preferences::ProgramName, waiting == 1 ? RestoreOneQuestion : RestoreQuestion.arg(waiting),
            platform::MessageIcon::Question, platform::MessageButton::Yes | platform::MessageButton::No);
        if (answer == platform::MessageButton::Yes) {
            restoreTasks(*journal);
            return true;
        }
    }
    // Only the partial file of the task cut off goes; the list waits a start in case it was a slip.
    tasks::settleInterruptedTasks(*journal);
    slot.moveJournalTo(slot.previousPath());
    return false;
}

void TaskList::startTaskJournal()
{
    const QString path = m_journalSlot->journalPath();
    m_journal = std::make_unique<tasks::JournalWriter>(path, [this] { return journalOfTaskList(); });
    // The writer is the receiver: the connections go with it, before the list goes.
    const QAbstractItemModel *rows = m_form.ltvTask->model();
    tasks::JournalWriter *journal = m_journal.get();
    connect(rows, &QAbstractItemModel::rowsInserted, journal, &tasks::JournalWriter::changed);
    connect(rows, &QAbstractItemModel::rowsRemoved, journal, &tasks::JournalWriter::changed);
    connect(rows, &QAbstractItemModel::rowsMoved, journal, &tasks::JournalWriter::changed);
    connect(rows, &QAbstractItemModel::dataChanged, journal, &tasks::JournalWriter::changed);
    connect(rows, &QAbstractItemModel::modelReset, journal, &tasks::JournalWriter::changed);
    connect(m_form.edtOutputdir, &QLineEdit::textChanged, journal, &tasks::JournalWriter::changed);
    connect(m_form.cmbProfile, &QComboBox::currentIndexChanged, journal, &tasks::JournalWriter::changed);
    connect(journal, &tasks::JournalWriter::writeFailed, this, [this, path](const QString &reason) {
        noticeJournalProblem(QStringLiteral("\"%1\" cannot be written (%2)").arg(path, reason));
    });
}

void TaskList::restoreTasks(tasks::TaskJournal journal)
{
    tasks::settleInterruptedTasks(journal);
    QSet<QString> listed;
    for (int position = 0; position < m_form.ltvTask->topLevelItemCount(); ++position)
        listed << m_form.ltvTask->topLevelItem(position)->text(0);
    for (tasks::Task &task : journal.tasks) {
        // One row per input, as adding keeps it, even in a journal edited by hand.
        if (listed.contains(task.record.InputFile))
            continue;
        listed << task.record.InputFile;
        task.setConvertedEarlier(task.convertedEarlier() || task.record.Status == tasks::CompleteStatus);
        m_form.ltvTask->addTopLevelItem(new TaskRow(std::move(task)));
    }
    if (m_form.ltvTask->topLevelItemCount() > 0)
        m_form.panbg->hide();
    // The first list restored, the window's own, gives the run its settings.
    if (m_restoredProfile.isEmpty() && m_restoredOutputFolder.isEmpty()) {
        m_restoredProfile = journal.profile;
        m_restoredOutputFolder = journal.outputFolder;
    }
}

// The profile and folder of the restored list win over those the last normal close stored.
void TaskList::applyRestoredRunSettings()
{
    if (QFileInfo(m_restoredOutputFolder).isDir())
        m_form.edtOutputdir->setText(m_restoredOutputFolder);
    const int profile = m_restoredProfile.isEmpty() ? -1 : m_form.cmbProfile->findText(m_restoredProfile);
    if (profile >= 0 && profile != m_form.cmbProfile->currentIndex()) {
        m_form.cmbProfile->setCurrentIndex(profile);
        m_form.cmbProfileChange();
    }
    m_restoredProfile.clear();
    m_restoredOutputFolder.clear();
    bool converted = false;
    for (int row = 0; row < m_form.ltvTask->topLevelItemCount() && !converted; ++row)
        converted = ConvertedEarlier(*m_form.ltvTask, row);
    if (!converted)
        return;
    m_restoredRunSettings = outputDecidingSettings();
    connect(m_form.edtOutputdir, &QLineEdit::textChanged, this, &TaskList::forgetConvertedEarlierIfChanged);
    connect(m_form.cmbProfile, &QComboBox::currentIndexChanged, this, &TaskList::forgetConvertedEarlierIfChanged);
    for (grids::KeyValueGrid *grid : {m_form.vleVideo, m_form.vleAudio, m_form.vleAdvanced})
        connect(grid, &grids::KeyValueGrid::StringsChange, this, &TaskList::forgetConvertedEarlierIfChanged);
}

QString TaskList::outputDecidingSettings() const
{
    QStringList settings{m_form.edtOutputdir->text(), m_form.cmbProfile->currentText()};
    for (const grids::KeyValueGrid *grid : {m_form.vleVideo, m_form.vleAudio, m_form.vleAdvanced}) {
        for (int row = 0; row < grid->rowCount(); ++row)
            settings << grid->key(row) + QLatin1Char('=') + grid->value(row);
    }
    return settings.join(QLatin1Char('\n'));
}

// Outputs converted with other settings are not the ones the list would make now: every row is
// converted again, even when the settings come back.
void TaskList::forgetConvertedEarlierIfChanged()
{
    if (m_restoredRunSettings.isEmpty() || outputDecidingSettings() == m_restoredRunSettings)
        return;
    m_restoredRunSettings.clear();
    for (int row = 0; row < m_form.ltvTask->topLevelItemCount(); ++row)
        SetConvertedEarlier(*m_form.ltvTask, row, false);
}

tasks::TaskJournal TaskList::journalOfTaskList() const
{
    tasks::TaskJournal journal;
    // Until the window shows them, the restored list's settings are the ones it runs with.
    journal.profile = m_restoredProfile.isEmpty() ? m_form.cmbProfile->currentText() : m_restoredProfile;
    journal.outputFolder = m_restoredOutputFolder.isEmpty() ? m_form.edtOutputdir->text() : m_restoredOutputFolder;
    const int count = m_form.ltvTask->topLevelItemCount();
    journal.tasks.reserve(count);
    for (int position = 0; position < count; ++position) {
        tasks::Task task = taskAt(*m_form.ltvTask, position);
        // A restart begins the task again: how far it had come is not kept.
        if (task.record.Status.startsWith(tasks::ConvertingStatus))
            task.record.Status = tasks::ConvertingStatus;
        journal.tasks << task;
    }
    return journal;
}

void TaskList::journalChangedNow()
{
    if (m_journal)
        m_journal->changedNow();
}

void TaskList::closeJournal()
{
    if (!m_journal)
        return;
    // A close the user did not ask for (a termination request, a shutdown) keeps the list for
    // the next start.
    if (m_keepJournalAtClose)
        m_journal->flush();
    else
        m_journal->discard();
}

// A notice, not a question: the window works on without its journal.
void TaskList::noticeJournalProblem(const QString &cause)
{
    if (m_journalProblems.contains(cause))
        return;
    m_journalProblems << cause;
    m_services.notifications.notify(preferences::ProgramName, JournalNotKept.arg(cause));
}

QString TaskList::journalPath() const
{
    return m_journalSlot ? m_journalSlot->journalPath() : QString();
}

} // namespace mainform
