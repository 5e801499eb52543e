#include "convertrun.h"

#include "convertinputs.h"

#include <mediaprobe.h>

#include <QTimer>

namespace app {
namespace {
constexpr int SignalExitBase = 128;
// Inputs probed by one encoder run: it loads the media libraries once for them all, and an
// interrupt is heard between two such runs.
constexpr qsizetype ProbeBatchSize = 32;
} // namespace

ConvertRun::ConvertRun(platform::ProcessLauncher &launcher, platform::Interruption &interruption,
                       ConvertReporter &reporter, ConvertSetup setup, QObject *parent)
    : QObject(parent), m_launcher(launcher), m_reporter(reporter), m_setup(std::move(setup)), m_run(launcher)
{
    connect(&interruption, &platform::Interruption::interrupted, this, &ConvertRun::interrupted);
    connect(&m_run, &conversion::BatchRun::taskStarted, this, &ConvertRun::taskStarted);
    connect(&m_run, &conversion::BatchRun::taskProgressed, this,
            [this](int row, int percent) { m_reporter.taskProgressed(row, percent); });
    connect(&m_run, &conversion::BatchRun::taskEnded, this, &ConvertRun::taskEnded);
    connect(&m_run, &conversion::BatchRun::runEnded, this, &ConvertRun::runEnded);
}

void ConvertRun::start()
{
    QTimer::singleShot(0, this, &ConvertRun::probeNext);
}

void ConvertRun::probeNext()
{
    if (m_ended)
        return;
    if (m_probed == m_setup.inputs.size())
        return startConverting();
    const QStringList batch = m_setup.inputs.mid(m_probed, ProbeBatchSize);
    m_probed += batch.size();
    const QList<tasks::ProbeResults> probes = tasks::ProbeMediaFiles(m_launcher, m_setup.encoderPath, batch);
    for (qsizetype i = 0; i < batch.size(); ++i) {
        if (m_setup.unconfirmedInputs.contains(batch[i]) && !tasks::FoundStream(probes.value(i)))
            continue;
        ltvItemData task;
        if (const auto problem = taskFromProbe(batch[i], probes.value(i), m_setup.outputExtension, m_setup.start,
                                               m_setup.end, task)) {
            m_reporter.error(*problem);
            return end(ExitUsage);
        }
        m_tasks << task;
    }
    QTimer::singleShot(0, this, &ConvertRun::probeNext);
}

void ConvertRun::startConverting()
{
    for (const ltvItemData &task : m_tasks)
        m_store.append(task);
    conversion::BatchPlan plan =
        runsetup::planFor(m_setup.encoderPath, m_store, m_setup.profile, m_setup.outputDirectory, m_setup.options);
    m_reporter.runStarted(int(plan.tasks.size()));
    m_run.start(std::move(plan));
}

void ConvertRun::interrupted(int signal)
{
    if (m_signal != 0 || m_ended)
        return;
    m_signal = signal;
    // Before the run began there is nothing to stop; a run stops and then ends as cancelled.
    if (m_run.isIdle()) {
        m_reporter.error(QStringLiteral("Stopped before any file was converted."));
        end(SignalExitBase + signal);
    } else {
        m_run.stop();
    }
}

void ConvertRun::taskStarted(int row, const QString &output)
{
    m_reporter.taskStarted(row, m_tasks.at(row).InputFile, output);
}

void ConvertRun::taskEnded(int row, conversion::TaskStatus status, const QString &log)
{
    runsetup::recordTaskEnd(m_store, row, status, log);
    m_reporter.taskEnded(row, status, m_store.log(row));
}

void ConvertRun::runEnded(const conversion::RunSummary &summary)
{
    int status = ExitAllComplete;
    // The reason an encoder could not start is the failure log of the task it was to convert.
    if (summary.end == conversion::RunEnd::StartFailed) {
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

} // namespace app
