#pragma once

#include "core/conversion/batchplan.h"
#include "core/conversion/encoderahead.h"
#include "core/conversion/progresstime.h"
#include "core/conversion/trackreport.h"
#include "core/platform/childprocessapi.h"
#include "core/platform/freespaceapi.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace conversion {

// Converts the tasks of a plan through the encoder, up to the plan's number of jobs at once, in
// list order. It holds no thread: the encoders' output and their ends arrive as signals, and new
// tasks start from the event loop, so a Stop or a close that came meanwhile is seen first.
class BatchRun : public QObject {
    Q_OBJECT

public:
    explicit BatchRun(platform::ProcessLauncher &launcher, QObject *parent = nullptr);
    BatchRun(platform::ProcessLauncher &launcher, platform::FreeSpace &space, QObject *parent = nullptr);
    ~BatchRun() override;

    // False, and nothing changes, unless the run is idle.
    bool start(BatchPlan plan);
    // Kills the running encoders with all they started; the run then ends as cancelled.
    void stop();
    // Holds the running encoders where they are and starts no task until resumed; the stall
    // watch holds too.
    void pause();
    void resume();
    bool isPaused() const { return m_state == RunState::Paused; }
    // Whether the run paused itself for want of room, until it resumes.
    bool pausedForSpace() const { return m_pausedForSpace; }
    // The running tasks finish, no other starts, and the run ends as FinishedCurrent.
    void finishCurrent();
    bool finishingCurrent() const { return m_finishCurrent; }

    RunState state() const { return m_state; }
    bool isIdle() const { return m_state == RunState::Idle; }
    ProgressBars bars() const { return m_bars; }
    // How many tasks the run converts at once; 1 before any run.
    int jobs() const { return m_plan.jobs; }
    // The rows converting now, in list order.
    QList<int> runningRows() const;

signals:
    void taskStarted(int row, const QString &outputPath);
    // A running task's own percentage, whenever its encoder reports.
    void taskProgressed(int row, int percent);
    // The current bar follows the earliest running task; the total bar counts the whole batch.
    void progressed(int current, int total, double position);
    // log: the end of what the encoder said; tracks: what it said it did with each stream.
    void taskEnded(int row, conversion::TaskStatus status, const QString &log, const conversion::TrackReport &tracks);
    void runEnded(const conversion::RunSummary &summary);
    void pausedChanged(bool paused);
    // The run paused itself, or failed the tasks left, as a file system holds too little for
    // what its files still need.
    void lowSpace(qint64 freeBytes, const QString &place);

private:
    struct Task;

    void startTasks();
    // Ends a run with nothing running that will start nothing more.
    void endWhenDone();
    void skipConvertedEarlier();
    bool mayStart(int row, const QString &output) const;
    void startTask(int row, const QString &output, int nameAttempts = 1);
    QStringList encoderArguments(int row, const QString &output) const;
    // With every job busy, the next task's encoder starts and waits for its turn.
    void prepareNext();
    void readOutput(Task *task, const QByteArray &bytes);
    void examineLine(Task *task, std::string_view line);
    void watchForStalls();
    // The file system short of room for the running tasks and the one at startingRow, if any.
    std::optional<platform::VolumeSpace> shortOfSpace(int startingRow = -1) const;
    // True when the run may go on.
    bool checkSpace(int startingRow = -1);
    void watchSpace();
    void failForSpace(const QString &reason);
    void encoderExited(Task *task, platform::ProcessExit exit);
    void encoderFailedToStart(Task *task, const QString &reason);
    void retire(Task *task);
    void updateBars();
    void endTask(int row, TaskStatus status, const QByteArray &log, const TrackReport &tracks = {});
    void finish(RunEnd end, const QString &reason = {});

    platform::ProcessLauncher &m_launcher;
    EncoderAhead m_ahead{m_launcher};
    BatchPlan m_plan;
    RunState m_state = RunState::Idle;
    int m_next = 0;                               // the first row not started yet
    std::vector<std::unique_ptr<Task>> m_running; // in list order
    // Tasks that ended inside their encoder's signal: their encoders go at the next turn.
    std::vector<std::unique_ptr<Task>> m_retired;
    QString m_startFailure;
    // The outputs this run has written or is writing, and those of the tasks it leaves out as
    // converted before: no later task of the run takes them.
    QStringList m_namesOfRun;
    double m_totalSpan = 0;
    double m_doneSpan = 0;
    ProgressBars m_bars;
    int m_failed = 0;
    int m_incomplete = 0;
    int m_stopped = 0;
    bool m_finishCurrent = false;
    QTimer m_stallWatch;
    platform::FreeSpace &m_space;
    QTimer m_spaceWatch;
    bool m_pausedForSpace = false;
    QString m_spaceFailure; // why the tasks left fail
};

} // namespace conversion
