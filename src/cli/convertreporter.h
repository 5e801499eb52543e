#pragma once

#include "core/conversion/batchplan.h"
#include "core/conversion/trackreport.h"

#include <QIODevice>
#include <QString>

#include <functional>

namespace cli {

enum class SkipReason { OutputThere, BeingConverted };

// Why a file was left out, as the end of a sentence about its output: "is there already".
QString skipReasonText(SkipReason reason);

// How a run without a window tells what happens: to a person on a terminal, to a log, or to
// another program. Rows are the tasks' positions in the run.
class ConvertReporter {
public:
    virtual ~ConvertReporter() = default;

    // An input left out, before the run starts, because its output is there already or another
    // run is converting to it.
    virtual void taskSkipped(const QString &input, const QString &output, SkipReason reason) = 0;
    virtual void runStarted(int tasks) = 0;
    virtual void taskStarted(int row, const QString &input, const QString &output) = 0;
    virtual void taskProgressed(int row, int percent) = 0;
    // failureLog: what the encoder said, for a task that failed or was left incomplete; tracks:
    // what it kept of the input's streams and what it left out.
    virtual void taskEnded(int row, conversion::TaskStatus status, const QString &failureLog,
                           const conversion::TrackReport &tracks) = 0;
    virtual void runEnded(const conversion::RunSummary &summary, int exitStatus) = 0;
    // The run is held (the suspend key), and goes on; the time between counts for nothing.
    virtual void runPaused() = 0;
    virtual void runResumed() = 0;
    // Something the user must read, on the error output.
    virtual void error(const QString &text) = 0;
    // A disk holds too little for the files being written: the run pauses, or fails what is left.
    virtual void lowSpace(qint64 freeBytes, const QString &place, bool failing);
};

// Milliseconds since some fixed moment.
using MonotonicClock = std::function<qint64()>;
MonotonicClock steadyClock();

// A run's clock: milliseconds of the clock given, leaving out the time the run was held.
class RunClock {
public:
    explicit RunClock(MonotonicClock clock) : m_clock(std::move(clock)) {}
    qint64 operator()() const;
    void hold();
    void resume();

private:
    MonotonicClock m_clock;
    qint64 m_heldMs = 0;
    qint64 m_heldSince = -1; // while held
};

// Writes text and a line end as UTF-8 in one write, so lines of parallel runs never mingle.
void writeLine(QIODevice &device, const QString &text);

// What the error output says of a task that failed or was left incomplete.
QString failureReport(conversion::TaskStatus status, const QString &input, const QString &failureLog);

// The lines under a task's end that tell what the encoder left out of its input, "  left out: ...".
QStringList leftOutLines(const conversion::TrackReport &tracks);

// The last line of a run: how many of its files are complete, how many were left out as
// converted before, and how long it took.
QString summaryText(const conversion::RunSummary &summary, int complete, int skipped, qint64 elapsedSeconds);

} // namespace cli
