#pragma once

#include "cli/convertreporter.h"
#include "cli/convertsetup.h"
#include "core/conversion/batchrun.h"
#include "core/conversion/probequeue.h"
#include "core/platform/interruptionapi.h"

#include <QObject>

namespace cli {

// A run without a window: probes its inputs in the background, so that an interrupt is heard at
// once, then converts them with the window's batch run and says how it went as an exit status.
class ConvertRun : public QObject {
    Q_OBJECT

public:
    ConvertRun(platform::ProcessLauncher &launcher, platform::Interruption &interruption, ConvertReporter &reporter,
               ConvertSetup setup, QObject *parent = nullptr);

    // Begins at the next turn of the event loop; finished() tells the end.
    void start();

signals:
    // 0 when every task is complete, 1 when one is not, the encoder could not start or the run
    // was told to stop after the current files, 2 when an
    // input cannot be cut as asked, 128 + the signal when interrupted.
    void finished(int exitStatus);

private:
    void inputProbed(const QString &path, const conversion::ProbeResults &probe);
    void probesEnded();
    void startConverting();
    void leaveOutConverted(conversion::BatchPlan &plan);
    int reportedRow(int row) const;
    conversion::BatchPlan planOf(const tasks::TaskStore &tasks) const;
    void interrupted(int signal);
    void finishRequested();
    void suspend();
    void resume();
    void lowSpace(qint64 freeBytes, const QString &place);
    void pausedChanged(bool paused);
    void taskStarted(int row, const QString &output);
    void taskEnded(int row, conversion::TaskStatus status, const QString &log, const conversion::TrackReport &tracks);
    void runEnded(const conversion::RunSummary &summary);
    void end(int exitStatus);

    platform::ProcessLauncher &m_launcher;
    ConvertReporter &m_reporter;
    ConvertSetup m_setup;
    conversion::BatchRun m_run;
    conversion::ProbeQueue m_probes;
    QList<tasks::Task> m_tasks;
    tasks::TaskRecords m_store; // the tasks as the run has them
    QSet<int> m_leftOut;        // rows of the plan that --skip-existing leaves out
    int m_signal = 0;           // the interrupt that came, if any
    bool m_ended = false;
    bool m_suspended = false;   // held by the suspend key until continued
    bool m_spacePaused = false; // held for want of room until there is room again
};

} // namespace cli
