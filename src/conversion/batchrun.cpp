#include "batchrun.h"

#include "encodercommand.h"

#include <QFile>

namespace conversion {
namespace {
// What is kept of a task's encoder output for the user to read.
constexpr qsizetype FailureLogBytes = 8 * 1024;
// The first reads of a conversion are the encoder's banner, never progress.
constexpr int UnexaminedReads = 2;
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

BatchRun::BatchRun(platform::ProcessLauncher &launcher, QObject *parent) : QObject(parent), m_launcher(launcher) {}

// The encoder dies with its process object, whatever state the run is in.
BatchRun::~BatchRun() = default;

bool BatchRun::start(BatchPlan plan)
{
    if (!isIdle())
        return false;
    m_plan = std::move(plan);
    m_state = RunState::Converting;
    m_position = 0;
    m_doneSpan = 0;
    m_totalSpan = 0;
    m_bars = {};
    m_failed = 0;
    m_incomplete = 0;
    for (const ltvItemData &task : m_plan.tasks)
        m_totalSpan += task.SpanSec;
    QMetaObject::invokeMethod(this, &BatchRun::startNextTask, Qt::QueuedConnection);
    return true;
}

void BatchRun::stop()
{
    if (m_state != RunState::Converting)
        return;
    m_state = RunState::StopRequested;
    if (m_encoder)
        m_encoder->terminate();
}

void BatchRun::startNextTask()
{
    if (m_state == RunState::Idle)
        return;
    if (m_position >= m_plan.tasks.size())
        return finish(RunEnd::Completed);
    // A Stop that came between two tasks ends the run before the next encoder starts.
    if (m_state == RunState::StopRequested) {
        endTask(TaskStatus::Stopped);
        return finish(RunEnd::Cancelled);
    }
    const ltvItemData &task = m_plan.tasks.at(m_position);
    m_largestPosition = 0;
    m_currentSpan = task.SpanSec;
    m_readCount = 0;
    m_log.clear();
    m_output = outputPathFor(m_plan.outputDirectory, task, m_position, m_plan.profileExtension,
                             m_plan.renameExisting);
    emit taskStarted(m_position, m_output);
    const auto commandLine = conversionCommandLine(task.InputFile, m_plan.parameters + trimOptions(task), m_output);
    // The previous encoder has ended; its object goes only now, outside its own signals.
    m_encoder = m_launcher.create();
    connect(m_encoder.get(), &platform::ChildProcess::output, this, &BatchRun::readOutput);
    connect(m_encoder.get(), &platform::ChildProcess::exited, this, &BatchRun::encoderExited);
    connect(m_encoder.get(), &platform::ChildProcess::failedToStart, this, &BatchRun::encoderFailedToStart);
    m_encoder->launch(m_plan.encoderPath, commandLine.arguments);
}

void BatchRun::readOutput(const QByteArray &bytes)
{
    m_log = (m_log + bytes).right(FailureLogBytes);
    if (m_readCount++ < UnexaminedReads)
        return;
    if (const auto position = reportedPosition(QString::fromUtf8(bytes)); position && *position > m_largestPosition)
        m_largestPosition = *position;
    m_bars = progressFor(m_largestPosition, m_currentSpan, m_doneSpan, m_totalSpan, m_bars);
    emit progressed(m_bars.current, m_bars.total, m_largestPosition);
}

void BatchRun::encoderExited(platform::ProcessExit exit)
{
    if (m_state == RunState::Idle)
        return;
    // The encoder was killed before it could clean up after itself.
    const QString partial = m_output + QStringLiteral(".part");
    if (m_state == RunState::StopRequested) {
        QFile::remove(partial);
        endTask(TaskStatus::Stopped);
        return finish(RunEnd::Cancelled);
    }
    const TaskStatus status = taskVerdict(exit, m_output);
    if (status == TaskStatus::Failed)
        QFile::remove(partial);
    m_doneSpan += m_currentSpan;
    endTask(status);
    if (++m_position < m_plan.tasks.size()) {
        m_bars.current = 0;
        emit progressed(m_bars.current, m_bars.total, 0);
    }
    QMetaObject::invokeMethod(this, &BatchRun::startNextTask, Qt::QueuedConnection);
}

void BatchRun::encoderFailedToStart(const QString &reason)
{
    if (m_state == RunState::Idle)
        return;
    const QString sentence = QStringLiteral("The encoder program %1 could not be started: %2").arg(m_plan.encoderPath, reason);
    m_log = sentence.toUtf8();
    endTask(TaskStatus::Failed);
    finish(RunEnd::StartFailed, sentence);
}

void BatchRun::endTask(TaskStatus status)
{
    const QString input = m_plan.tasks.at(m_position).InputFile;
    const QString log = QString::fromUtf8(m_log);
    if (status == TaskStatus::Failed)
        ++m_failed;
    if (status == TaskStatus::Incomplete)
        ++m_incomplete;
    if (status == TaskStatus::Failed || status == TaskStatus::Incomplete)
        m_failureLogs.insert(input, log);
    else if (status == TaskStatus::Complete)
        m_failureLogs.remove(input);
    emit taskEnded(m_position, status, log);
}

void BatchRun::finish(RunEnd end, const QString &reason)
{
    m_state = RunState::Idle;
    RunSummary summary;
    summary.end = end;
    summary.tasks = int(m_plan.tasks.size());
    summary.failed = m_failed;
    summary.incomplete = m_incomplete;
    summary.reason = reason;
    emit runEnded(summary);
}

} // namespace conversion
