#include "cli/convertrun.h"

#include "cli/convertinputs.h"
#include "core/conversion/outputnames.h"
#include "core/platform/childprocess.h"

#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace cli {
namespace {
constexpr int SignalExitBase = 128;
} // namespace

ConvertRun::ConvertRun(platform::ProcessLauncher &launcher, platform::Interruption &interruption,
                       ConvertReporter &reporter, ConvertSetup setup, QObject *parent)
    : QObject(parent)
    , m_launcher(launcher)
    , m_reporter(reporter)
    , m_setup(std::move(setup))
    , m_run(launcher)
    , m_probes(launcher, m_setup.encoderPath)
{
    connect(&m_probes, &conversion::ProbeQueue::probed, this, &ConvertRun::inputProbed);
    connect(&m_probes, &conversion::ProbeQueue::idle, this, &ConvertRun::probesEnded);
    connect(&interruption, &platform::Interruption::interrupted, this, &ConvertRun::interrupted);
    connect(&interruption, &platform::Interruption::finishRequested, this, &ConvertRun::finishRequested);
    connect(&interruption, &platform::Interruption::suspendRequested, this, &ConvertRun::suspend);
    connect(&interruption, &platform::Interruption::continued, this, &ConvertRun::resume);
    connect(&m_run, &conversion::BatchRun::taskStarted, this, &ConvertRun::taskStarted);
    connect(&m_run, &conversion::BatchRun::taskProgressed, this,
            [this](int row, int percent) { m_reporter.taskProgressed(reportedRow(row), percent); });
    connect(&m_run, &conversion::BatchRun::taskEnded, this, &ConvertRun::taskEnded);
    connect(&m_run, &conversion::BatchRun::runEnded, this, &ConvertRun::runEnded);
    connect(&m_run, &conversion::BatchRun::lowSpace, this, &ConvertRun::lowSpace);
    connect(&m_run, &conversion::BatchRun::pausedChanged, this, &ConvertRun::pausedChanged);
}

void ConvertRun::start()
{
    for (const QString &input : m_setup.inputs)
        m_probes.append(input, m_setup.unconfirmedInputs.contains(input));
    if (m_setup.inputs.isEmpty())
        QTimer::singleShot(0, this, &ConvertRun::probesEnded);
}

void ConvertRun::probesEnded()
{
    if (!m_ended)
        startConverting();
}

void ConvertRun::inputProbed(const QString &path, const conversion::ProbeResults &probe)
{
    if (m_ended)
        return;
    ltvItemData record;
    if (const auto problem = taskFromProbe(path, probe, m_setup.outputExtension, m_setup.start, m_setup.end, record)) {
        m_probes.cancel();
        m_reporter.error(*problem);
        return end(ExitUsage);
    }
    tasks::Task task(record);
    task.tracks = probe.ProbeTracksText;
    task.sourceFacts = probe.ProbeFactsText;
    m_tasks << task;
}

void ConvertRun::startConverting()
{
    for (const tasks::Task &task : m_tasks)
        m_store.append(task);
    conversion::BatchPlan plan = planOf(m_store);
    if (m_setup.skipExisting)
        leaveOutConverted(plan);
    m_reporter.runStarted(int(plan.tasks.size() - plan.convertedEarlier.size()));
    m_run.start(std::move(plan));
}

// An input whose output is there under the name it takes without renaming was converted by an
// earlier run; one whose output another run is converting now is that run's. Such rows stay in
// the plan, left out, so that the run names the files of the others exactly as this look did:
// in list order, around the names of the rows before. A partial file of a run cut off does not
// count.
void ConvertRun::leaveOutConverted(conversion::BatchPlan &plan)
{
    QStringList namesOfRun;
    for (int row = 0; row < plan.tasks.size(); ++row) {
        const QString output = conversion::plannedOutputPath(plan, row, false, namesOfRun);
        namesOfRun << output;
        std::optional<SkipReason> reason;
        if (QFileInfo::exists(output))
            reason = SkipReason::OutputThere;
        else if (conversion::beingConverted(output))
            reason = SkipReason::BeingConverted;
        if (reason) {
            plan.convertedEarlier.insert(row);
            m_reporter.taskSkipped(m_tasks.at(row).record.InputFile, output, *reason);
        }
    }
    m_leftOut = plan.convertedEarlier;
}

// The reporters count only the files the run converts.
int ConvertRun::reportedRow(int row) const
{
    return row - int(std::count_if(m_leftOut.cbegin(), m_leftOut.cend(), [row](int left) { return left < row; }));
}

conversion::BatchPlan ConvertRun::planOf(const tasks::TaskStore &tasks) const
{
    conversion::BatchPlan plan = runsetup::planFor(m_setup.encoderPath, tasks, m_setup.profile, m_setup.outputDirectory,
                                                   m_setup.options, m_setup.languages);
    for (const ltvItemData &task : plan.tasks)
        plan.outputSubfolders << m_setup.outputSubfolders.value(task.InputFile);
    // Nobody may be there to press anything: the run goes on by itself once there is room.
    plan.resumeWhenSpaceReturns = true;
    plan.failOnLowSpace = m_setup.failOnLowSpace;
    return plan;
}

void ConvertRun::interrupted(int signal)
{
    if (m_signal != 0 || m_ended)
        return;
    m_signal = signal;
    // Before the run began only the probes are to be stopped; a run stops and then ends as cancelled.
    if (m_run.isIdle()) {
        m_probes.cancel();
        m_reporter.error(QStringLiteral("Stopped before any file was converted."));
        end(SignalExitBase + signal);
    } else {
        m_run.stop();
    }
}

void ConvertRun::finishRequested()
{
    // Before the run began there is no current file: the run simply converts none.
    if (m_run.isIdle() && !m_ended) {
        m_probes.cancel();
        m_reporter.error(QStringLiteral("Stopped before any file was converted."));
        end(ExitNotAllComplete);
    }
    m_run.finishCurrent();
}

// Our encoders lead groups of their own, out of the terminal's reach: they are held here, and
// only then does the program stop itself, as the shell expects of the suspend key.
void ConvertRun::suspend()
{
    if (!m_run.isIdle() && !m_suspended) {
        m_suspended = true;
        m_run.pause();
        m_reporter.runPaused();
    }
    platform::suspendCurrentProcess();
}

void ConvertRun::resume()
{
    if (!m_suspended)
        return;
    m_suspended = false;
    m_run.resume();
    m_reporter.runResumed();
}

void ConvertRun::lowSpace(qint64 freeBytes, const QString &place)
{
    m_reporter.lowSpace(freeBytes, place, m_setup.failOnLowSpace);
    if (m_run.pausedForSpace() && !m_spacePaused) {
        m_spacePaused = true;
        m_reporter.runPaused();
    }
}

void ConvertRun::pausedChanged(bool paused)
{
    if (!paused && m_spacePaused) {
        m_spacePaused = false;
        m_reporter.runResumed();
    }
}

void ConvertRun::taskStarted(int row, const QString &output)
{
    m_reporter.taskStarted(reportedRow(row), m_tasks.at(row).record.InputFile, output);
}

void ConvertRun::taskEnded(int row, conversion::TaskStatus status, const QString &log,
                           const conversion::TrackReport &tracks)
{
    runsetup::recordTaskEnd(m_store, row, status, log);
    m_reporter.taskEnded(reportedRow(row), status, m_store.log(row), tracks);
}

void ConvertRun::runEnded(const conversion::RunSummary &summary)
{
    int status = ExitAllComplete;
    // The reason an encoder could not start is the failure log of the task it was to convert.
    if (summary.end == conversion::RunEnd::StartFailed) {
        status = ExitNotAllComplete;
    } else if (summary.end == conversion::RunEnd::FinishedCurrent) {
        status = ExitNotAllComplete;
    } else if (summary.end == conversion::RunEnd::Cancelled) {
        status = m_signal != 0 ? SignalExitBase + m_signal : ExitNotAllComplete;
    } else if (summary.failed > 0 || summary.incomplete > 0) {
        status = ExitNotAllComplete;
    }
    m_reporter.runEnded(summary, status);
    end(status);
}

void ConvertRun::end(int exitStatus)
{
    m_ended = true;
    emit finished(exitStatus);
}

} // namespace cli
