#include "core/conversion/batchrun.h"

#include "core/conversion/batchtask.h"
#include "core/conversion/encodercommand.h"
#include "core/conversion/outputnames.h"
#include "core/conversion/taskverdict.h"
#include "core/platform/processfolders.h"
#include "core/protocol/exitstatus.h"
#include "core/protocol/passlogfolder.h"
#include "core/protocol/qtpartialoutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace conversion {
namespace {
// What is kept of a task's encoder output for the user to read.
constexpr qsizetype FailureLogBytes = 8 * 1024;
// The first lines of a conversion are the encoder's banner, never progress.
constexpr int UnexaminedLines = 2;
// How often a renaming task looks for another name when other runs keep taking the one it chose.
constexpr int MostNameAttempts = 20;

// An encoder killed outright, or one that crashed, leaves the pass log of a Target Size
// conversion; once it has ended, whatever is named after it is left over.
void removeLeftFolders(qint64 encoderPid)
{
    platform::removeProcessFolders(protocol::PassLogFolderPrefix, encoderPid);
}

QString durationText(int milliseconds)
{
    const int seconds = qMax(1, (milliseconds + 500) / 1000);
    if (seconds % 60 == 0)
        return seconds == 60 ? QStringLiteral("1 minute") : QStringLiteral("%1 minutes").arg(seconds / 60);
    return seconds == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(seconds);
}
} // namespace

QString statusText(TaskStatus status)
{
    switch (status) {
    case TaskStatus::Complete:
        return QStringLiteral("Complete");
    case TaskStatus::Incomplete:
        return QStringLiteral("Incomplete");
    case TaskStatus::Failed:
        return QStringLiteral("Failed");
    case TaskStatus::Stopped:
        return QStringLiteral("Stop");
    }
    return {};
}

BatchRun::BatchRun(platform::ProcessLauncher &launcher, QObject *parent)
    : BatchRun(launcher, platform::volumeFreeSpace(), parent)
{}

BatchRun::BatchRun(platform::ProcessLauncher &launcher, platform::FreeSpace &space, QObject *parent)
    : QObject(parent)
    , m_launcher(launcher)
    , m_space(space)
{
    connect(&m_stallWatch, &QTimer::timeout, this, &BatchRun::watchForStalls);
    connect(&m_spaceWatch, &QTimer::timeout, this, &BatchRun::watchSpace);
    // Those of a program that was killed with its encoders.
    platform::removeOrphanedProcessFolders(protocol::PassLogFolderPrefix);
}

// A run that goes with encoders still running kills them, and they cannot clean up after
// themselves.
BatchRun::~BatchRun()
{
    for (const auto &task : m_running)
        task->encoder->terminate();
    // Each encoder is waited for as it goes, and only then lets go of its partial file.
    for (const auto &task : m_running) {
        const qint64 pid = task->encoder->processId();
        task->encoder.reset();
        removeLeftFolders(pid);
        removeLeftPartial(task->output);
    }
}

bool BatchRun::start(BatchPlan plan)
{
    if (!isIdle())
        return false;
    m_plan = std::move(plan);
    m_plan.jobs = qMax(m_plan.jobs, 1);
    m_state = RunState::Converting;
    m_next = 0;
    m_startFailure.clear();
    m_doneSpan = 0;
    m_totalSpan = 0;
    m_bars = {};
    m_failed = 0;
    m_incomplete = 0;
    m_stopped = 0;
    m_namesOfRun.clear();
    m_finishCurrent = false;
    m_stallWatch.setInterval(stallCheckInterval(m_plan.stallLimitMs));
    m_stallWatch.start();
    m_pausedForSpace = false;
    m_spaceFailure.clear();
    m_spaceWatch.setInterval(m_plan.spaceCheckMs);
    m_spaceWatch.start();
    for (int row = 0; row < m_plan.tasks.size(); ++row) {
        if (!m_plan.convertedEarlier.contains(row))
            m_totalSpan += m_plan.tasks.at(row).SpanSec;
    }
    skipConvertedEarlier();
    QMetaObject::invokeMethod(this, &BatchRun::startTasks, Qt::QueuedConnection);
    return true;
}

// A task converted before keeps its file: later tasks of the run name theirs around it, in the
// order a run of all of them would have.
void BatchRun::skipConvertedEarlier()
{
    while (m_next < m_plan.tasks.size() && m_plan.convertedEarlier.contains(m_next))
        m_namesOfRun << plannedOutputPath(m_plan, m_next++, false, m_namesOfRun);
}

void BatchRun::stop()
{
    if (m_state != RunState::Converting && m_state != RunState::Paused)
        return;
    m_state = RunState::StopRequested;
    m_ahead.discard();
    for (const auto &task : m_running)
        task->encoder->terminate();
}

QList<int> BatchRun::runningRows() const
{
    QList<int> rows;
    for (const auto &task : m_running)
        rows << task->row;
    return rows;
}

void BatchRun::startTasks()
{
    m_retired.clear();
    if (m_state == RunState::Idle)
        return;
    if (m_state == RunState::StopRequested) {
        if (!m_running.empty())
            return;
        if (!m_startFailure.isEmpty())
            return finish(RunEnd::StartFailed, m_startFailure);
        if (!m_spaceFailure.isEmpty()) {
            for (; m_next < m_plan.tasks.size(); ++m_next) {
                if (!m_plan.convertedEarlier.contains(m_next))
                    endTask(m_next, TaskStatus::Failed, m_spaceFailure.toUtf8());
            }
            return finish(RunEnd::Completed);
        }
        // A Stop that came after the last encoder had done its work stopped nothing.
        if (m_next >= m_plan.tasks.size() && m_stopped == 0)
            return finish(RunEnd::Completed);
        // A Stop that came between two tasks, or that found the running ones done, ends the run
        // before the next encoder starts.
        if (m_stopped == 0 && m_next < m_plan.tasks.size())
            endTask(m_next, TaskStatus::Stopped, {});
        return finish(RunEnd::Cancelled);
    }
    while (m_state == RunState::Converting && !m_finishCurrent && int(m_running.size()) < m_plan.jobs &&
           m_next < m_plan.tasks.size()) {
        const QString output = plannedOutputPath(m_plan, m_next, m_plan.renameExisting, m_namesOfRun);
        // Tasks start in list order, so one that has to wait holds back those after it.
        if (!mayStart(m_next, output) || !checkSpace(m_next))
            break;
        startTask(m_next++, output);
        skipConvertedEarlier();
    }
    endWhenDone();
}

void BatchRun::endWhenDone()
{
    if (!m_running.empty())
        return;
    if (m_next >= m_plan.tasks.size())
        finish(RunEnd::Completed);
    else if (m_finishCurrent)
        finish(RunEnd::FinishedCurrent);
}

// Two encoders never write one file, nor one read what another is writing: such a task waits for
// the other, and the outcome is what one task after the other would give.
bool BatchRun::mayStart(int row, const QString &output) const
{
    const QString &input = m_plan.tasks.at(row).InputFile;
    for (const auto &task : m_running) {
        if (sameFile(output, task->output) || output == task->output || output == task->input ||
            sameFile(output, task->input) || input == task->output || sameFile(input, task->output))
            return false;
    }
    return true;
}

void BatchRun::startTask(int row, const QString &output, int nameAttempts)
{
    const ltvItemData &record = m_plan.tasks.at(row);
    auto owned = std::make_unique<Task>();
    Task *task = owned.get();
    task->row = row;
    task->input = record.InputFile;
    task->output = output;
    task->span = record.SpanSec;
    task->nameAttempts = nameAttempts;
    task->sinceProgress.start();
    // A folder that cannot be made leaves the encoder to fail on it and say why.
    if (!m_plan.outputSubfolders.value(row).isEmpty())
        QDir().mkpath(QFileInfo(output).absolutePath());
    const QStringList arguments = encoderArguments(row, output);
    task->encoder = m_ahead.take(m_plan.encoderPath, arguments);
    const bool startedAhead = task->encoder != nullptr;
    if (!startedAhead) {
        task->encoder = m_launcher.create();
        task->encoder->setPriority(m_plan.priority);
    }
    m_running.push_back(std::move(owned));
    m_namesOfRun << output;
    emit taskStarted(row, output);
    connect(task->encoder.get(), &platform::ChildProcess::output, this,
            [this, task](const QByteArray &bytes) { readOutput(task, bytes); });
    connect(task->encoder.get(), &platform::ChildProcess::exited, this,
            [this, task](platform::ProcessExit exit) { encoderExited(task, exit); });
    connect(task->encoder.get(), &platform::ChildProcess::failedToStart, this,
            [this, task](const QString &reason) { encoderFailedToStart(task, reason); });
    if (!startedAhead)
        task->encoder->launch(m_plan.encoderPath, arguments);
    // A pause that came while the task was announced holds it too.
    if (m_state == RunState::Paused)
        task->encoder->hold();
}

void BatchRun::readOutput(Task *task, const QByteArray &bytes)
{
    task->log = (task->log + bytes).right(FailureLogBytes);
    task->lines.feed(std::string_view(bytes.constData(), std::size_t(bytes.size())),
                     [this, task](std::string_view line) { examineLine(task, line); });
}

void BatchRun::examineLine(Task *task, std::string_view line)
{
    // The encoder tells of the tracks before FFmpeg's banner, and the log keeps only its end.
    if (takeTrackLine(task->tracks, QString::fromUtf8(line.data(), qsizetype(line.size()))))
        return;
    if (task->lineCount++ < UnexaminedLines)
        return;
    const auto position = reportedPosition(line);
    if (position && !m_ahead.isWaiting())
        prepareNext();
    if (position && *position > task->largestPosition) {
        task->largestPosition = *position;
        task->sinceProgress.restart();
    }
    const int percent = progressFor(task->largestPosition, task->span, 0, 0, {task->percent, 0}).current;
    if (percent != task->percent) {
        task->percent = percent;
        emit taskProgressed(task->row, percent);
    }
    updateBars();
}

// The current bar is the earliest running task's; the total counts what the others have done too.
void BatchRun::updateBars()
{
    if (m_running.empty())
        return;
    const Task &earliest = *m_running.front();
    double others = m_doneSpan;
    for (std::size_t i = 1; i < m_running.size(); ++i)
        others += m_running[i]->largestPosition;
    m_bars = progressFor(earliest.largestPosition, earliest.span, others, m_totalSpan, m_bars);
    emit progressed(m_bars.current, m_bars.total, earliest.largestPosition);
}

void BatchRun::encoderExited(Task *task, platform::ProcessExit exit)
{
    if (m_state == RunState::Idle)
        return;
    // Out of the running ones before anyone hears of its end, so a Stop from there sees the rest.
    retire(task);
    // One that exited by itself removed its own: the temporary folder need not be read then.
    if (exit.crashed || task->stalled)
        removeLeftFolders(task->encoder->processId());
    task->lines.finish([this, task](std::string_view line) { examineLine(task, line); });
    // A killed encoder could not clean up after itself.
    if (task->stalled) {
        removeLeftPartial(task->output);
        task->log += "\nFFmpeg made no progress for " + durationText(m_plan.stallLimitMs).toUtf8();
        exit = {};
        exit.crashed = true;
    }
    // An encoder that had put its output in place and exited before the Stop reached it did
    // its work: the Stop came too late for that task.
    const bool finishedItsWork =
        !exit.crashed && (exit.exitCode == protocol::EncoderSucceeded || exit.exitCode == protocol::EncoderIncomplete);
    if (m_state == RunState::StopRequested && !finishedItsWork) {
        removeLeftPartial(task->output);
        m_namesOfRun.removeOne(task->output);
        if (m_spaceFailure.isEmpty()) {
            ++m_stopped;
            endTask(task->row, TaskStatus::Stopped, task->log, task->tracks);
        } else {
            endTask(task->row, TaskStatus::Failed, task->log + '\n' + m_spaceFailure.toUtf8(), task->tracks);
        }
        QMetaObject::invokeMethod(this, &BatchRun::startTasks, Qt::QueuedConnection);
        return;
    }
    const bool nameTaken = !exit.crashed && exit.exitCode == protocol::EncoderOutputTaken;
    if (nameTaken && (m_state == RunState::Converting || m_state == RunState::Paused) && m_plan.renameExisting &&
        task->nameAttempts < MostNameAttempts) {
        // Another run took the name between our look and the encoder's claim: the next free one.
        startTask(task->row, plannedOutputPath(m_plan, task->row, true, m_namesOfRun), task->nameAttempts + 1);
        return;
    }
    const TaskStatus status = taskVerdict(exit, task->output);
    if (status == TaskStatus::Failed) {
        // Nothing of a name another run holds is ours to remove.
        if (!nameTaken)
            removeLeftPartial(task->output);
        m_namesOfRun.removeOne(task->output);
    }
    m_doneSpan += task->span;
    endTask(task->row, status, task->log, task->tracks);
    if (task->row + 1 < m_plan.tasks.size() && m_state == RunState::Converting) {
        if (m_running.empty()) {
            m_bars.current = 0;
            emit progressed(m_bars.current, m_bars.total, 0);
        } else {
            updateBars();
        }
    }
    QMetaObject::invokeMethod(this, &BatchRun::startTasks, Qt::QueuedConnection);
}

void BatchRun::encoderFailedToStart(Task *task, const QString &reason)
{
    if (m_state == RunState::Idle)
        return;
    const QString sentence =
        QStringLiteral("The encoder program %1 could not be started: %2").arg(m_plan.encoderPath, reason);
    retire(task);
    // The others are stopped: an encoder that cannot start will not start for the rest either.
    m_startFailure = sentence;
    m_state = RunState::StopRequested;
    for (const auto &other : m_running)
        other->encoder->terminate();
    endTask(task->row, TaskStatus::Failed, sentence.toUtf8());
    QMetaObject::invokeMethod(this, &BatchRun::startTasks, Qt::QueuedConnection);
}

void BatchRun::retire(Task *task)
{
    const auto found =
        std::find_if(m_running.begin(), m_running.end(), [task](const auto &t) { return t.get() == task; });
    if (found == m_running.end())
        return;
    m_retired.push_back(std::move(*found));
    m_running.erase(found);
}

void BatchRun::endTask(int row, TaskStatus status, const QByteArray &logBytes, const TrackReport &tracks)
{
    if (status == TaskStatus::Failed)
        ++m_failed;
    if (status == TaskStatus::Incomplete)
        ++m_incomplete;
    emit taskEnded(row, status, QString::fromUtf8(logBytes), tracks);
}

void BatchRun::finish(RunEnd end, const QString &reason)
{
    m_state = RunState::Idle;
    m_finishCurrent = false;
    m_ahead.discard();
    m_stallWatch.stop();
    m_spaceWatch.stop();
    m_pausedForSpace = false;
    RunSummary summary;
    summary.end = end;
    summary.tasks = int(m_plan.tasks.size() - m_plan.convertedEarlier.size());
    summary.failed = m_failed;
    summary.incomplete = m_incomplete;
    summary.reason = reason;
    emit runEnded(summary);
}

} // namespace conversion
