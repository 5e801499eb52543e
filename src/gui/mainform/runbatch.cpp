// The main window's side of the batch run: Start and Stop, and the painting of what the run reports.
#include "core/conversion/batchrun.h"
#include "core/conversion/statustexts.h"
#include "core/profiles/parameterstring.h"
#include "core/profiles/profilecheck.h"
#include "core/profiles/profilereading.h"
#include "core/runsetup/runplan.h"
#include "core/tasks/tasktrim.h"
#include "gui/grids/profilegrids.h"
#include "gui/mainform/batchnotice.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/tasklist.h"
#include "gui/mainform/tasklistrows.h"
#include "gui/mainform/turnoffnotice.h"
#include "gui/settings/settingform.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace mainform {

namespace {
void information(platform::Dialogs &dialogs, QWidget *owner, const QString &caption, const QString &text)
{
    dialogs.messageBox(owner, caption, text, platform::MessageIcon::Information, platform::MessageButton::Ok);
}

void showPercent(QProgressBar *bar, QLabel *label, int percent)
{
    bar->setValue(percent);
    label->setText(QString::number(percent) + QLatin1Char('%'));
}
} // namespace

TMainForm::RunState TMainForm::runState() const
{
    return m_run->state();
}

bool TMainForm::runIsIdle() const
{
    return m_run->isIdle();
}

void TMainForm::connectBatchRun()
{
    m_run = std::make_unique<conversion::BatchRun>(m_services.processes);
    connect(m_run.get(), &conversion::BatchRun::taskStarted, this, &TMainForm::batchTaskStarted);
    connect(m_run.get(), &conversion::BatchRun::taskProgressed, this, &TMainForm::batchTaskProgressed);
    connect(m_run.get(), &conversion::BatchRun::progressed, this, &TMainForm::batchProgressed);
    connect(m_run.get(), &conversion::BatchRun::taskEnded, this, &TMainForm::batchTaskEnded);
    connect(m_run.get(), &conversion::BatchRun::runEnded, this, &TMainForm::batchRunEnded);
    TurnOffNotice = std::make_unique<TTurnOffNotice>(this);
    connect(TurnOffNotice.get(), &TTurnOffNotice::expired, this, &TMainForm::turnOffExpired);
}

void TMainForm::tbtnStartClick()
{
    if (!runIsIdle() || m_startWhenProbed)
        return;
    // Files still being probed belong to the run: it starts once the last of them is listed.
    if (m_taskList->probingInputs()) {
        setStartPending(true);
        return;
    }
    ltvTask->setFocus();
    if (!QFileInfo(edtOutputdir->text()).isDir()) {
        information(m_services.dialogs, this, QStringLiteral("Output path does not exist"),
                    QStringLiteral("The output path does not exist. Please specify another one."));
        edtOutputdir->setFocus();
        return;
    }
    if (ltvTask->topLevelItemCount() == 0)
        return;
    // FFmpeg would take a part that rounds to no second for no part at all and write nothing.
    for (int row = 0; row < ltvTask->topLevelItemCount(); ++row) {
        ltvItemData task;
        ReadTask(row, tasks::SelectWholeRow, task);
        if (const auto problem = tasks::tooShortToConvert(task)) {
            ltvTask->setCurrentItem(ltvTask->topLevelItem(row));
            information(m_services.dialogs, this, QStringLiteral("Part too short"), *problem);
            return;
        }
    }
    const QString profilePath = profilePathOf(cmbProfile->currentIndex());
    // A damaged profile is refused before anything changes.
    if (const auto problem = profiles::ProfileFileProblem(profilePath)) {
        information(m_services.dialogs, this, profiles::ProfileProblemCaption, *problem);
        return;
    }
    runsetup::ProfileChoice choice;
    if (QFileInfo(profilePath).isFile())
        choice.profile = profiles::ReadProfileFile(profilePath);
    else
        choice.profile.type = m_outputExtension.mid(1);
    choice.shownValue = grids::ShownValueOf(parameterGrids());
    choice.earlierExtensions = m_profileExtensions;
    DisableControlsForRun();
    RunBatch(choice);
}

void TMainForm::tbtnStopClick()
{
    if (m_startWhenProbed)
        setStartPending(false);
    else if (m_run->state() == RunState::Converting)
        m_run->stop();
}

void TMainForm::showBottomFace(bool progress)
{
    panBottomCenter->setVisible(!progress);
    panBottomLeft->setVisible(progress);
}

// A Start that waits for the probes must not look like a Start that did nothing: the progress
// face says what it waits for, and Stop calls it off.
void TMainForm::setStartPending(bool pending)
{
    m_startWhenProbed = pending;
    tbtnStart->setEnabled(!pending && ltvTask->topLevelItemCount() > 0);
    tbtnStop->setEnabled(pending);
    if (pending) {
        labConvertingFile->setText(QStringLiteral("Waiting for the files being added"));
        labConvertingFile->setToolTip(
            QStringLiteral("The conversion starts when the files being added are listed. Press Stop to cancel it."));
        labElapsed->clear();
        labRemaining->clear();
        showPercent(pgbCurrent, labCurProgress, 0);
        showPercent(pgbTotal, labTotalProgress, 0);
    }
    showBottomFace(pending);
}

void TMainForm::RunBatch(const runsetup::ProfileChoice &choice)
{
    labConvertingFile->clear();
    labElapsed->clear();
    labRemaining->clear();
    showPercent(pgbCurrent, labCurProgress, 0);
    showPercent(pgbTotal, labTotalProgress, 0);
    showBottomFace(true);
    m_elapsedSeconds = 0;
    m_remainingSeconds = 0;
    m_closeAfterRun = false;
    timerTime->start(1000);
    TurnOffNotice->cancel();
    m_sleepInhibition = m_services.power.inhibitSleep(preferences::ProgramName, QStringLiteral("Converting videos"));
    // A shutdown from elsewhere waits while the run stops and removes what it had half made.
    m_shutdownDelay = m_services.power.delayShutdown(preferences::ProgramName, QStringLiteral("Converting videos"));
    if (m_shutdownDelay)
        connect(m_shutdownDelay.get(), &platform::ShutdownDelay::shutdownPending, this,
                &TMainForm::closeWithoutQuestion);
    const mainform::TaskListStore rows(*ltvTask);
    m_run->start(
        runsetup::planFor(m_values.encoderPath, rows, choice, edtOutputdir->text(), SettingForm->runOptions()));
}

void TMainForm::batchTaskStarted(int row, const QString &output)
{
    mainform::TaskListStore rows(*ltvTask);
    runsetup::recordTaskStart(rows, row);
    mainform::SetTaskOutput(*ltvTask, row, output);
    batchTaskProgressed(row, 0);
    showConvertingFiles();
    m_taskList->journalChangedNow();
}

void TMainForm::batchTaskProgressed(int row, int percent)
{
    ltvItemData task;
    task.Status = conversion::convertingStatusText(m_run->jobs(), percent);
    WriteTask(row, tasks::SelectStatus, task);
}

void TMainForm::showConvertingFiles()
{
    QStringList inputs;
    for (const int row : m_run->runningRows()) {
        ltvItemData task;
        ReadTask(row, tasks::SelectCaption, task);
        inputs << task.InputFile;
    }
    labConvertingFile->setText(conversion::convertingFilesText(inputs, labConvertingFile->text()));
    // Several names can be longer than the label.
    labConvertingFile->setToolTip(labConvertingFile->text());
}

void TMainForm::batchProgressed(int current, int total)
{
    showPercent(pgbCurrent, labCurProgress, current);
    showPercent(pgbTotal, labTotalProgress, total);
}

void TMainForm::batchTaskEnded(int row, conversion::TaskStatus status, const QString &log)
{
    mainform::TaskListStore rows(*ltvTask);
    runsetup::recordTaskEnd(rows, row, status, log);
    mainform::SetTaskOutput(*ltvTask, row, QString());
    showConvertingFiles();
    m_taskList->journalChangedNow();
}

void TMainForm::batchRunEnded(const conversion::RunSummary &summary)
{
    timerTime->stop();
    m_sleepInhibition.reset();
    m_shutdownDelay.reset();
    switch (summary.end) {
    case conversion::RunEnd::Cancelled:
        cancelRun();
        break;
    case conversion::RunEnd::StartFailed:
        endRunOnStartFailure(summary.reason);
        break;
    case conversion::RunEnd::Completed:
        // The list restored after a crash is done with: later runs convert every task again.
        for (int row = 0; row < ltvTask->topLevelItemCount(); ++row)
            mainform::SetConvertedEarlier(*ltvTask, row, false);
        // A window closing after its run wants no completion action of that run.
        if (m_closeAfterRun)
            showBottomFace(false);
        else
            completeRun(summary);
        break;
    }
    EnableControlsAfterRun();
    if (m_closeAfterRun)
        close();
}

void TMainForm::cancelRun()
{
    if (!m_closeAfterRun)
        information(m_services.dialogs, this, QStringLiteral("Cancel"), QStringLiteral("The Coversion is canceled."));
    showBottomFace(false);
}

void TMainForm::endRunOnStartFailure(const QString &reason)
{
    m_services.dialogs.messageBox(this, preferences::ProgramName,
                                  QStringLiteral("Error on CreateProcess()\n\n") + reason, platform::MessageIcon::Error,
                                  platform::MessageButton::Ok);
    showBottomFace(false);
}

void TMainForm::completeRun(const conversion::RunSummary &summary)
{
    mainform::notifyBatchEnd(m_services.notifications, this, summary);
    // Leaving unattended is only for a batch that fully succeeded: a failure must be seen.
    const bool clean = summary.failed == 0 && summary.incomplete == 0;
    // The user may change these while the run goes: the end follows what they say now.
    const runsetup::RunOptions options = SettingForm->runOptions();
    if (clean && options.turnOffComputer) {
        showBottomFace(false);
        TurnOffNotice->begin();
        return;
    }
    if (clean && options.exitProgram) {
        m_closeAfterRun = true;
        return;
    }
    m_services.dialogs.messageBox(this, QStringLiteral("Complete"), conversion::completionText(summary),
                                  clean ? platform::MessageIcon::Information : platform::MessageIcon::Warning,
                                  platform::MessageButton::Ok);
    if (options.openFolder)
        OpenWithDesktop(edtOutputdir->text());
    // The message is read over the progress it sums up.
    showBottomFace(false);
}

void TMainForm::turnOffExpired()
{
    TurnOffComputer();
    close();
}

void TMainForm::TurnOffComputer()
{
    // Refusal goes unnoticed; the program closes all the same.
    m_services.power.powerOff();
}

} // namespace mainform
