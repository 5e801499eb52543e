#pragma once

#include "core/conversion/batchplan.h"
#include "core/platform/services.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace conversion {
class BatchRun;
}
namespace runsetup {
struct ProfileChoice;
}

namespace mainform {

class TMainForm;

// The main window's batch run: Start and Stop, the clock, what follows the end of a run, and a
// close that has to wait for the run. It watches conversion::BatchRun and paints the window's
// controls; the window only forwards its handlers here.
class RunControl : public QObject {
    Q_OBJECT

public:
    RunControl(TMainForm &form, platform::Services &services);
    ~RunControl() override;

    conversion::BatchRun &batchRun() const { return *m_run; }
    conversion::RunState state() const;
    bool isIdle() const;

    // Start's checks, then the run; a Start pressed while files are probed waits for them.
    void start();
    // Calls off a waiting Start, or stops the run.
    void stop();
    // Holds a converting run, or lets a held one go on.
    void togglePause();
    // The run ends once the files converting now are done.
    void finishCurrent();
    // A Start that waited for the probes goes ahead once they have ended, unless the window closes.
    void inputsListed();
    bool startPending() const { return m_startWhenProbed; }
    void cancelPendingStart();

    // One tick of the clock: time elapsed, and the time still to go at the pace so far.
    void tick();

    // Whether the window may close now. A running batch asks first and, if told to, is stopped;
    // the window closes when it has.
    bool allowClose();
    // True once the window has agreed to close.
    bool closing() const { return m_closing; }
    // Closes the window without asking, stopping a running batch first.
    void closeWithoutQuestion();

signals:
    // A task's row changed: its status or its output.
    void taskChanged();

private:
    void runBatch(const runsetup::ProfileChoice &choice);
    void setStartPending(bool pending);
    void showBottomFace(bool progress);
    void taskStarted(int row, const QString &output);
    void taskProgressed(int row, int percent);
    void progressed(int current, int total);
    void taskEnded(int row, conversion::TaskStatus status, const QString &log);
    void showConvertingFiles();
    void runEnded(const conversion::RunSummary &summary);
    void pausedChanged(bool paused);
    void showPauseButton(bool paused);
    void lowSpace(qint64 freeBytes, const QString &place);
    void finishedCurrent();
    void cancelled();
    void completed(const conversion::RunSummary &summary);
    void startFailed(const QString &reason);
    void turnOffExpired();
    void information(const QString &caption, const QString &text);

    TMainForm &m_form;
    platform::Services &m_services;
    std::unique_ptr<conversion::BatchRun> m_run;
    std::unique_ptr<platform::SleepInhibition> m_sleepInhibition;
    std::unique_ptr<platform::ShutdownDelay> m_shutdownDelay;
    bool m_startWhenProbed = false;     // Start was pressed while files were being probed
    QPointer<QWidget> m_lowSpaceNotice; // while the run is held for want of room
    bool m_closeAfterRun = false;
    bool m_closing = false;
    int m_elapsedSeconds = 0;
    int m_remainingSeconds = 0;
};

} // namespace mainform
