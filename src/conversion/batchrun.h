#pragma once

#include "batchplan.h"
#include "batchrules.h"

#include <childprocessapi.h>

#include <QHash>
#include <QObject>

#include <memory>

namespace conversion {

// Converts the tasks of a plan one after the other through the encoder. It holds no thread: the
// encoder's output and its end arrive as signals, and the next task starts from the event loop,
// so a Stop or a close that came meanwhile is seen first.
class BatchRun : public QObject {
    Q_OBJECT

public:
    explicit BatchRun(platform::ProcessLauncher &launcher, QObject *parent = nullptr);
    ~BatchRun() override;

    // False, and nothing changes, unless the run is idle.
    bool start(BatchPlan plan);
    // Kills the running encoder with all it started; the run then ends as cancelled.
    void stop();

    RunState state() const { return m_state; }
    bool isIdle() const { return m_state == RunState::Idle; }
    ProgressBars bars() const { return m_bars; }
    // The encoder output kept of a task that failed or was left incomplete, by input file.
    QString failureLog(const QString &inputFile) const { return m_failureLogs.value(inputFile); }

signals:
    void taskStarted(int row, const QString &outputPath);
    void progressed(int current, int total, double position);
    void taskEnded(int row, conversion::TaskStatus status, const QString &log);
    void runEnded(const conversion::RunSummary &summary);

private:
    void startNextTask();
    void readOutput(const QByteArray &bytes);
    void encoderExited(platform::ProcessExit exit);
    void encoderFailedToStart(const QString &reason);
    void endTask(TaskStatus status);
    void finish(RunEnd end, const QString &reason = {});

    platform::ProcessLauncher &m_launcher;
    std::unique_ptr<platform::ChildProcess> m_encoder;
    BatchPlan m_plan;
    RunState m_state = RunState::Idle;
    int m_position = 0;
    QString m_output;
    double m_totalSpan = 0;
    double m_doneSpan = 0;
    double m_largestPosition = 0;
    double m_currentSpan = 0;
    int m_readCount = 0;
    ProgressBars m_bars;
    QByteArray m_log;
    int m_failed = 0;
    int m_incomplete = 0;
    QHash<QString, QString> m_failureLogs;
};

} // namespace conversion
