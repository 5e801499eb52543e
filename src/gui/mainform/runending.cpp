// How a batch run ends: cancelled, failed to start, finished after the current files or completed, with the completion
// actions; and a window that closes while a run goes.
#include "core/conversion/batchrun.h"
#include "core/conversion/statustexts.h"
#include "gui/mainform/batchnotice.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/runcontrol.h"
#include "gui/mainform/tasklistrows.h"
#include "gui/mainform/turnoffnotice.h"
#include "gui/settings/settingform.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

namespace mainform {

void RunControl::runEnded(const conversion::RunSummary &summary)
{
    m_form.timerTime->stop();
    m_sleepInhibition.reset();
    m_shutdownDelay.reset();
    showPauseButton(false);
    switch (summary.end) {
    case conversion::RunEnd::Cancelled:
        cancelled();
        break;
    case conversion::RunEnd::StartFailed:
        startFailed(summary.reason);
        break;
    // No completion action: the batch is not done.
    case conversion::RunEnd::FinishedCurrent:
        finishedCurrent();
        break;
    case conversion::RunEnd::Completed:
        // The list restored after a crash is done with: later runs convert every task again.
        for (int row = 0; row < m_form.ltvTask->topLevelItemCount(); ++row)
            SetConvertedEarlier(*m_form.ltvTask, row, false);
        // A window closing after its run wants no completion action of that run.
        if (m_closeAfterRun)
            showBottomFace(false);
        else
            completed(summary);
        break;
    }
    m_form.EnableControlsAfterRun();
    if (m_closeAfterRun)
        m_form.close();
}

void RunControl::cancelled()
{
    if (!m_closeAfterRun)
        information(QStringLiteral("Cancel"), QStringLiteral("The Coversion is canceled."));
    showBottomFace(false);
}

void RunControl::startFailed(const QString &reason)
{
    m_services.dialogs.messageBox(&m_form, preferences::ProgramName,
                                  QStringLiteral("Error on CreateProcess()\n\n") + reason, platform::MessageIcon::Error,
                                  platform::MessageButton::Ok);
    showBottomFace(false);
}

void RunControl::completed(const conversion::RunSummary &summary)
{
    notifyBatchEnd(m_services.notifications, &m_form, summary);
    // Leaving unattended is only for a batch that fully succeeded: a failure must be seen.
    const bool clean = summary.failed == 0 && summary.incomplete == 0;
    // The user may change these while the run goes: the end follows what they say now.
    const runsetup::RunOptions options = m_form.SettingForm->runOptions();
    if (clean && options.turnOffComputer) {
        showBottomFace(false);
        m_form.TurnOffNotice->begin();
        return;
    }
    if (clean && options.exitProgram) {
        m_closeAfterRun = true;
        return;
    }
    m_services.dialogs.messageBox(&m_form, QStringLiteral("Complete"), conversion::completionText(summary),
                                  clean ? platform::MessageIcon::Information : platform::MessageIcon::Warning,
                                  platform::MessageButton::Ok);
    if (options.openFolder)
        m_form.OpenWithDesktop(m_form.edtOutputdir->text());
    // The message is read over the progress it sums up.
    showBottomFace(false);
}

void RunControl::turnOffExpired()
{
    // Refusal goes unnoticed; the program closes all the same.
    m_services.power.powerOff();
    m_form.close();
}

bool RunControl::allowClose()
{
    if (!isIdle()) {
        // The run ends first; it closes the window when it has stopped.
        if (m_closeAfterRun)
            return false;
        const auto answer = m_services.dialogs.messageBox(
            &m_form, QStringLiteral("Close"), QStringLiteral("A conversion is running. Stop it and close the program?"),
            platform::MessageIcon::Question, platform::MessageButton::Yes | platform::MessageButton::No);
        if (answer != platform::MessageButton::Yes)
            return false;
        // The run may have ended while the question was open: then there is nothing to stop.
        if (!isIdle()) {
            m_closeAfterRun = true;
            m_run->stop();
            return false;
        }
    }
    // Anything still adding inputs stops at the next file.
    m_closing = true;
    m_form.TurnOffNotice->hide();
    return true;
}

void RunControl::closeWithoutQuestion()
{
    // A message waiting for OK (the end of a batch, say) must not keep the program alive.
    for (int open = 0; open < 8 && QApplication::activeModalWidget(); ++open)
        QApplication::activeModalWidget()->close();
    if (isIdle()) {
        m_form.close();
        return;
    }
    m_closeAfterRun = true;
    m_run->stop();
}

} // namespace mainform
