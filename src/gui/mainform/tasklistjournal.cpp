// The journal of the task list: written while the window is open, offered back at the start
// after a crash, a kill or a power cut, and removed by a close the user asked for.
#include <mainform.h>

#include <journalslot.h>
#include <journalwriter.h>
#include <tasklistrows.h>

#include <QAbstractItemModel>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QSet>
#include <QTreeWidget>

namespace {
const QString RestoreQuestion = QStringLiteral("The program ended while %1 tasks were waiting. Restore them?");
const QString UnreadableJournal = QStringLiteral(
    "The task list of the last session could not be restored because %1; the program starts with an empty "
    "list and keeps the file as \"%2\".");
} // namespace

void TMainForm::RestoreTaskList()
{
    m_journalSlot = tasks::JournalSlot::claim(m_values.locations.journalDirectory);
    if (!m_journalSlot)
        return;
    QFile file(m_journalSlot->journalPath());
    if (file.open(QIODevice::ReadOnly)) {
        QString problem;
        std::optional<tasks::TaskJournal> journal = tasks::decodeTaskJournal(file.readAll(), &problem);
        file.close();
        if (!journal) {
            m_journalSlot->moveJournalTo(m_journalSlot->unreadablePath());
            m_services.dialogs.messageBox(this, app::ProgramName,
                                          UnreadableJournal.arg(problem, m_journalSlot->unreadablePath()),
                                          platform::MessageIcon::Warning, platform::MessageButton::Ok);
        } else if (!journal->tasks.isEmpty()) {
            const auto answer = m_services.dialogs.messageBox(
                this, app::ProgramName, RestoreQuestion.arg(journal->tasks.size()), platform::MessageIcon::Question,
                platform::MessageButton::Yes | platform::MessageButton::No);
            if (answer == platform::MessageButton::Yes)
                restoreTasks(*journal);
            else
                m_journalSlot->moveJournalTo(m_journalSlot->previousPath());
        }
    }
    m_journal = std::make_unique<tasks::JournalWriter>(m_journalSlot->journalPath(),
                                                       [this] { return journalOfTaskList(); });
    // The writer is the receiver: the connections go with it, before the list goes.
    const QAbstractItemModel *rows = ltvTask->model();
    tasks::JournalWriter *journal = m_journal.get();
    connect(rows, &QAbstractItemModel::rowsInserted, journal, &tasks::JournalWriter::changed);
    connect(rows, &QAbstractItemModel::rowsRemoved, journal, &tasks::JournalWriter::changed);
    connect(rows, &QAbstractItemModel::rowsMoved, journal, &tasks::JournalWriter::changed);
    connect(rows, &QAbstractItemModel::dataChanged, journal, &tasks::JournalWriter::changed);
    connect(rows, &QAbstractItemModel::modelReset, journal, &tasks::JournalWriter::changed);
    connect(edtOutputdir, &QLineEdit::textChanged, journal, &tasks::JournalWriter::changed);
    connect(cmbProfile, &QComboBox::currentIndexChanged, journal, &tasks::JournalWriter::changed);
    // What was restored is the journal now, with its interrupted tasks settled.
    if (ltvTask->topLevelItemCount() > 0)
        m_journal->changed();
}

void TMainForm::restoreTasks(tasks::TaskJournal journal)
{
    tasks::settleInterruptedTasks(journal);
    QSet<QString> listed;
    for (const tasks::JournalTask &entry : journal.tasks) {
        // One row per input, as adding keeps it, even in a journal edited by hand.
        if (listed.contains(entry.task.InputFile))
            continue;
        listed << entry.task.InputFile;
        auto *row = new QTreeWidgetItem(QStringList{entry.task.InputFile});
        ltvTask->addTopLevelItem(row);
        const int position = ltvTask->topLevelItemCount() - 1;
        WriteTask(position, tasks::SelectWholeRow, entry.task);
        tasks::SetTaskLog(*ltvTask, position, entry.log);
        tasks::SetConvertedEarlier(*ltvTask, position,
                                   entry.convertedEarlier || entry.task.Status == QStringLiteral("Complete"));
    }
    if (ltvTask->topLevelItemCount() > 0)
        panbg->hide();
    m_restoredProfile = journal.profile;
    m_restoredOutputFolder = journal.outputFolder;
}

// The profile and folder of the restored list win over those the last normal close stored.
void TMainForm::applyRestoredRunSettings()
{
    if (QFileInfo(m_restoredOutputFolder).isDir())
        edtOutputdir->setText(m_restoredOutputFolder);
    const int profile = m_restoredProfile.isEmpty() ? -1 : cmbProfile->findText(m_restoredProfile);
    if (profile >= 0 && profile != cmbProfile->currentIndex()) {
        cmbProfile->setCurrentIndex(profile);
        cmbProfileChange();
    }
    m_restoredProfile.clear();
    m_restoredOutputFolder.clear();
}

tasks::TaskJournal TMainForm::journalOfTaskList() const
{
    tasks::TaskJournal journal;
    journal.profile = cmbProfile->currentText();
    journal.outputFolder = edtOutputdir->text();
    const int count = ltvTask->topLevelItemCount();
    journal.tasks.reserve(count);
    for (int position = 0; position < count; ++position) {
        tasks::JournalTask entry;
        tasks::ReadTask(*ltvTask, position, tasks::SelectWholeRow, entry.task);
        // A restart begins the task again: how far it had come is not kept.
        if (entry.task.Status.startsWith(tasks::ConvertingStatus))
            entry.task.Status = tasks::ConvertingStatus;
        entry.log = tasks::TaskLog(*ltvTask, position);
        entry.output = tasks::TaskOutput(*ltvTask, position);
        entry.convertedEarlier = tasks::ConvertedEarlier(*ltvTask, position);
        journal.tasks << entry;
    }
    return journal;
}

void TMainForm::taskJournalChangedNow()
{
    if (m_journal)
        m_journal->changedNow();
}

void TMainForm::closeTaskJournal()
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

QString TMainForm::journalPath() const
{
    return m_journalSlot ? m_journalSlot->journalPath() : QString();
}
