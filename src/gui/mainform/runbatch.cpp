// The main window's side of the batch run: Start and Stop, and the painting of what the run reports.
#include "core/conversion/batchrun.h"
#include "core/conversion/statustexts.h"
#include "core/profiles/parameterstring.h"
#include "core/profiles/profilecheck.h"
#include "core/profiles/profilereading.h"
#include "core/runsetup/runplan.h"
#include "core/tasks/tasktrim.h"
#include "gui/grids/profilegrids.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/profilecontrol.h"
#include "gui/mainform/runcontrol.h"
#include "gui/mainform/tasklist.h"
#include "gui/mainform/tasklistrows.h"
#include "gui/mainform/turnoffnotice.h"
#include "gui/settings/settingform.h"
#include "gui/widgets/errordisplay.h"

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
void showPercent(QProgressBar *bar, QLabel *label, int percent)
{
    // A bar whose value changes paints at once, and with it all else in the window still to be
    // painted (the list's rows too): held back, it is painted with the rest at the next turn.
    if (bar->value() != percent) {
        bar->setUpdatesEnabled(false);
        bar->setValue(percent);
        bar->setUpdatesEnabled(true);
    }
    label->setText(QString::number(percent) + QLatin1Char('%'));
}
} // namespace

RunControl::RunControl(TMainForm &form, platform::Services &services)
    : m_form(form)
    , m_services(services)
    , m_run(std::make_unique<conversion::BatchRun>(services.processes, services.freeSpace))
{
    connect(m_run.get(), &conversion::BatchRun::taskStarted, this, &RunControl::taskStarted);
    connect(m_run.get(), &conversion::BatchRun::taskProgressed, this, &RunControl::taskProgressed);
    connect(m_run.get(), &conversion::BatchRun::progressed, this, &RunControl::progressed);
    connect(m_run.get(), &conversion::BatchRun::taskEnded, this, &RunControl::taskEnded);
    connect(m_run.get(), &conversion::BatchRun::runEnded, this, &RunControl::runEnded);
    connect(m_run.get(), &conversion::BatchRun::pausedChanged, this, &RunControl::pausedChanged);
    connect(m_run.get(), &conversion::BatchRun::lowSpace, this, &RunControl::lowSpace);
    connect(form.TurnOffNotice.get(), &TTurnOffNotice::expired, this, &RunControl::turnOffExpired);
}

RunControl::~RunControl()
{
    // The encoder goes first, and with it any word from the run to a window half gone.
    m_run.reset();
}

conversion::RunState RunControl::state() const
{
    return m_run->state();
}

bool RunControl::isIdle() const
{
    return m_run->isIdle();
}

void RunControl::information(const QString &caption, const QString &text)
{
    m_services.dialogs.messageBox(&m_form, caption, text, platform::MessageIcon::Information,
                                  platform::MessageButton::Ok);
}

void RunControl::start()
{
    if (!isIdle() || m_startWhenProbed)
        return;
    // Files still being probed belong to the run: it starts once the last of them is listed.
    if (m_form.taskList().probingInputs()) {
        setStartPending(true);
        return;
    }
    QTreeWidget *const list = m_form.ltvTask;
    list->setFocus();
    if (!QFileInfo(m_form.edtOutputdir->text()).isDir()) {
        information(QStringLiteral("Output path does not exist"),
                    QStringLiteral("The output path does not exist. Please specify another one."));
        m_form.edtOutputdir->setFocus();
        return;
    }
    if (list->topLevelItemCount() == 0)
        return;
    // FFmpeg would take a part that rounds to no second for no part at all and write nothing.
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        ltvItemData task;
        m_form.ReadTask(row, tasks::SelectWholeRow, task);
        if (const auto problem = tasks::tooShortToConvert(task)) {
            list->setCurrentItem(list->topLevelItem(row));
            information(QStringLiteral("Part too short"), *problem);
            return;
        }
    }
    const ProfileControl &profile = m_form.profileControl();
    const QString profilePath = profile.profilePathOf(m_form.cmbProfile->currentIndex());
    // A damaged profile is refused before anything changes.
    if (const auto problem = profiles::ProfileFileProblem(profilePath)) {
        information(profiles::ProfileProblemCaption, *problem);
        return;
    }
    runsetup::ProfileChoice choice;
    if (QFileInfo(profilePath).isFile())
        choice.profile = profiles::ReadProfileFile(profilePath);
    else
        choice.profile.type = profile.outputExtension().mid(1);
    choice.shownValue = grids::ShownValueOf(profile.parameterGrids());
    choice.earlierExtensions = profile.earlierExtensions();
    m_form.DisableControlsForRun();
    runBatch(choice);
}

void RunControl::stop()
{
    if (m_startWhenProbed)
        setStartPending(false);
    else
        m_run->stop();
}

void RunControl::inputsListed()
{
    // The run takes every file the user added before it, those probed after the press too.
    if (m_startWhenProbed && !m_closing) {
        setStartPending(false);
        widgets::guarded([this] { start(); })();
    }
}

void RunControl::cancelPendingStart()
{
    m_startWhenProbed = false;
}

void RunControl::showBottomFace(bool progress)
{
    m_form.panBottomCenter->setVisible(!progress);
    m_form.panBottomLeft->setVisible(progress);
}

// A Start that waits for the probes must not look like a Start that did nothing: the progress
// face says what it waits for, and Stop calls it off.
void RunControl::setStartPending(bool pending)
{
    m_startWhenProbed = pending;
    m_form.tbtnStart->setEnabled(!pending && m_form.ltvTask->topLevelItemCount() > 0);
    m_form.tbtnStop->setEnabled(pending);
    if (pending) {
        m_form.labConvertingFile->setText(QStringLiteral("Waiting for the files being added"));
        m_form.labConvertingFile->setToolTip(
            QStringLiteral("The conversion starts when the files being added are listed. Press Stop to cancel it."));
        m_form.labElapsed->clear();
        m_form.labRemaining->clear();
        showPercent(m_form.pgbCurrent, m_form.labCurProgress, 0);
        showPercent(m_form.pgbTotal, m_form.labTotalProgress, 0);
    }
    showBottomFace(pending);
}

void RunControl::runBatch(const runsetup::ProfileChoice &choice)
{
    m_form.labConvertingFile->clear();
    m_form.labElapsed->clear();
    m_form.labRemaining->clear();
    showPercent(m_form.pgbCurrent, m_form.labCurProgress, 0);
    showPercent(m_form.pgbTotal, m_form.labTotalProgress, 0);
    showBottomFace(true);
    m_elapsedSeconds = 0;
    m_remainingSeconds = 0;
    m_closeAfterRun = false;
    m_form.timerTime->start(1000);
    m_form.TurnOffNotice->cancel();
    m_sleepInhibition = m_services.power.inhibitSleep(preferences::ProgramName, QStringLiteral("Converting videos"));
    // A shutdown from elsewhere waits while the run stops and removes what it had half made.
    m_shutdownDelay = m_services.power.delayShutdown(preferences::ProgramName, QStringLiteral("Converting videos"));
    if (m_shutdownDelay)
        connect(m_shutdownDelay.get(), &platform::ShutdownDelay::shutdownPending, &m_form,
                &TMainForm::closeWithoutQuestion);
    const TaskListStore rows(*m_form.ltvTask);
    const runsetup::GeneralPreferences general = m_form.SettingForm->generalPreferences();
    m_run->start(runsetup::planFor(m_form.programValues().encoderPath, rows, choice, m_form.edtOutputdir->text(),
                                   m_form.SettingForm->runOptions(),
                                   {general.audioLanguages, general.subtitleLanguages}));
}

void RunControl::taskStarted(int row, const QString &output)
{
    TaskListStore rows(*m_form.ltvTask);
    runsetup::recordTaskStart(rows, row);
    SetTaskOutput(*m_form.ltvTask, row, output);
    taskProgressed(row, 0);
    showConvertingFiles();
    emit taskChanged();
}

void RunControl::taskProgressed(int row, int percent)
{
    ltvItemData task;
    task.Status = m_run->isPaused() ? tasks::PausedStatus : conversion::convertingStatusText(m_run->jobs(), percent);
    m_form.WriteTask(row, tasks::SelectStatus, task);
}

void RunControl::showConvertingFiles()
{
    QStringList inputs;
    for (const int row : m_run->runningRows()) {
        ltvItemData task;
        m_form.ReadTask(row, tasks::SelectCaption, task);
        inputs << task.InputFile;
    }
    QLabel *const label = m_form.labConvertingFile;
    label->setText(conversion::convertingFilesText(inputs, label->text()));
    // Several names can be longer than the label.
    label->setToolTip(label->text());
}

void RunControl::progressed(int current, int total)
{
    showPercent(m_form.pgbCurrent, m_form.labCurProgress, current);
    showPercent(m_form.pgbTotal, m_form.labTotalProgress, total);
}

void RunControl::taskEnded(int row, conversion::TaskStatus status, const QString &log)
{
    TaskListStore rows(*m_form.ltvTask);
    runsetup::recordTaskEnd(rows, row, status, log);
    SetTaskOutput(*m_form.ltvTask, row, QString());
    showConvertingFiles();
    emit taskChanged();
}

bool TMainForm::runIsIdle() const
{
    return m_runControl->isIdle();
}

void TMainForm::tbtnStartClick()
{
    m_runControl->start();
}

void TMainForm::tbtnStopClick()
{
    m_runControl->stop();
}

} // namespace mainform
