// The main window's batch run: Start, Stop, each task's conversion and the end of the run.
#include <mainform.h>
#include <settingform.h>

#include "batchrules.h"
#include "encoderrun.h"

#include <batchnotice.h>
#include <parameterstring.h>
#include <profilecheck.h>
#include <profilegrids.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

namespace {
// What is kept of a failed task's encoder output for the user to read.
constexpr qsizetype FailureLogBytes = 8 * 1024;

void information(platform::Dialogs &dialogs, QWidget *owner, const QString &caption, const QString &text)
{
    dialogs.messageBox(owner, caption, text, platform::MessageIcon::Information, platform::MessageButton::Ok);
}
} // namespace

void TMainForm::tbtnStartClick()
{
    ltvTask->setFocus();
    if (!QFileInfo(edtOutputdir->text()).isDir()) {
        information(m_services.dialogs, this, QStringLiteral("Output path does not exist"),
                    QStringLiteral("The output path does not exist. Please specify another one."));
        edtOutputdir->setFocus();
        return;
    }
    if (ltvTask->topLevelItemCount() == 0)
        return;
    const QString profilePath = profilePathOf(cmbProfile->currentIndex());
    // A damaged profile is refused before anything changes.
    if (const auto problem = profiles::ProfileFileProblem(profilePath)) {
        information(m_services.dialogs, this, profiles::ProfileProblemCaption, *problem);
        return;
    }
    DisableControlsForRun();
    RunBatch(profiles::BuildParameterString(profilePath, profiles::ShownValueOf(parameterGrids())));
    EnableControlsAfterRun();
    if (m_closeAfterRun)
        close();
}

void TMainForm::tbtnStopClick()
{
    if (m_runState != RunState::Converting)
        return;
    m_runState = RunState::StopRequested;
    TerminateEncoder();
}

void TMainForm::showBottomFace(bool progress)
{
    panBottomCenter->setVisible(!progress);
    panBottomLeft->setVisible(progress);
}

void TMainForm::RunBatch(const QString &parameters)
{
    labConvertingFile->clear();
    labElapsed->clear();
    labRemaining->clear();
    m_bars = {};
    pgbCurrent->setValue(0);
    pgbTotal->setValue(0);
    labCurProgress->setText(QStringLiteral("0%"));
    labTotalProgress->setText(QStringLiteral("0%"));
    showBottomFace(true);
    m_runState = RunState::Converting;
    m_doneSpan = 0;
    m_totalSpan = 0;
    m_elapsedSeconds = 0;
    m_remainingSeconds = 0;
    timerTime->start(1000);
    const int count = ltvTask->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        ltvItemData task;
        ReadTask(i, tasks::SelectWholeRow, task);
        m_totalSpan += task.SpanSec;
    }

    int failures = 0;
    for (int i = 0; i < count; ++i) {
        QCoreApplication::processEvents();
        // A Stop pressed between two tasks ends the run before the next encoder starts.
        if (m_runState == RunState::StopRequested)
            return cancelRun(i);
        m_largestPosition = 0;
        ltvItemData task;
        ReadTask(i, tasks::SelectWholeRow, task);
        task.Status = QStringLiteral("Converting");
        WriteTask(i, 2, task);
        labConvertingFile->setText(QFileInfo(task.InputFile).fileName());
        const QString output = conversion::outputPathFor(edtOutputdir->text(), task, i, m_outputExtension,
                                                         SettingForm->rdbRename->isChecked());
        const auto commandLine =
            conversion::conversionCommandLine(task.InputFile, parameters + conversion::trimOptions(task), output);
        m_currentSpan = task.SpanSec;
        m_readCount = 0;
        QByteArray log;
        const auto outcome = conversion::runEncoder(
            m_services.processes, m_encoder, m_values.encoderPath, commandLine, platform::ReadWait::EventLoop,
            [&](const QByteArray &bytes) {
                log = (log + bytes).right(FailureLogBytes);
                if (m_readCount >= 2)
                    examineProgress(bytes);
                ++m_readCount;
            });
        if (!outcome.started)
            return endRunOnStartFailure(outcome.startError);
        // The encoder was killed before it could clean up after itself.
        const QString partial = output + QStringLiteral(".part");
        if (m_runState == RunState::StopRequested) {
            QFile::remove(partial);
            return cancelRun(i);
        }
        const bool converted = outcome.exit.succeeded() && QFileInfo(output).size() > 0;
        m_doneSpan += task.SpanSec;
        task.Status = converted ? QStringLiteral("Complete") : QStringLiteral("Failed");
        WriteTask(i, 2, task);
        if (!converted) {
            ++failures;
            QFile::remove(partial);
            m_failureLogs.insert(task.InputFile, QString::fromUtf8(log));
        } else {
            m_failureLogs.remove(task.InputFile);
        }
        if (i != count - 1) {
            pgbCurrent->setValue(0);
            labCurProgress->setText(QStringLiteral("0%"));
            m_bars.current = 0;
        }
        TerminateEncoder();
    }
    completeRun(failures, count);
}

void TMainForm::examineProgress(const QByteArray &bytes)
{
    if (const auto position = conversion::reportedPosition(QString::fromUtf8(bytes)); position && *position > m_largestPosition)
        m_largestPosition = *position;
    m_bars = conversion::progressFor(m_largestPosition, m_currentSpan, m_doneSpan, m_totalSpan, m_bars);
    pgbCurrent->setValue(m_bars.current);
    pgbTotal->setValue(m_bars.total);
    labCurProgress->setText(QString::number(m_bars.current) + QLatin1Char('%'));
    labTotalProgress->setText(QString::number(m_bars.total) + QLatin1Char('%'));
}

void TMainForm::cancelRun(int position)
{
    timerTime->stop();
    ltvItemData task;
    task.Status = QStringLiteral("Stop");
    WriteTask(position, 2, task);
    if (!m_closeAfterRun)
        information(m_services.dialogs, this, QStringLiteral("Cancel"), QStringLiteral("The Coversion is canceled."));
    showBottomFace(false);
    m_runState = RunState::Idle;
}

void TMainForm::endRunOnStartFailure(const QString &reason)
{
    timerTime->stop();
    m_services.dialogs.messageBox(this, app::ProgramName,
                                  QStringLiteral("Error on CreateProcess()\n\nThe encoder program %1 could not be started: %2")
                                      .arg(m_values.encoderPath, reason),
                                  platform::MessageIcon::Error, platform::MessageButton::Ok);
    showBottomFace(false);
    m_runState = RunState::Idle;
}

void TMainForm::completeRun(int failures, int tasks)
{
    timerTime->stop();
    app::notifyBatchEnd(m_services.notifications, this, failures, tasks);
    // Leaving unattended is only for a batch that succeeded: a failure must be seen.
    if (failures == 0 && SettingForm->chkTurnoff->isChecked()) {
        m_runState = RunState::Idle;
        TurnOffComputer();
        m_closeAfterRun = true;
        return;
    }
    if (failures == 0 && SettingForm->chkExit->isChecked()) {
        m_runState = RunState::Idle;
        m_closeAfterRun = true;
        return;
    }
    const QString text = failures == 0
        ? QStringLiteral("The coversion is completed successfully.")
        : QStringLiteral("The conversion is completed, but %1 of %2 files failed. "
                         "Choose \"Show Log\" on a failed file to read why.").arg(failures).arg(tasks);
    m_services.dialogs.messageBox(this, QStringLiteral("Complete"), text,
                                  failures == 0 ? platform::MessageIcon::Information : platform::MessageIcon::Warning,
                                  platform::MessageButton::Ok);
    if (SettingForm->chkOpenDir->isChecked())
        m_services.desktop.open(edtOutputdir->text());
    m_runState = RunState::Idle;
    showBottomFace(false);
}

void TMainForm::TurnOffComputer()
{
    // Refusal goes unnoticed; the program closes all the same.
    m_services.power.powerOff();
}
