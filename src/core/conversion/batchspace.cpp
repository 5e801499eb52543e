// The watch on the room left for a run's files: a full disk found only when FFmpeg fails leaves
// an output that cannot even be opened.
#include "core/conversion/batchrun.h"
#include "core/conversion/batchtask.h"
#include "core/conversion/spaceneed.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

namespace conversion {
namespace {
bool sizedByTarget(const QString &parameters)
{
    return parameters.split(QLatin1Char(' '), Qt::SkipEmptyParts).contains(QStringLiteral("-fit"));
}

struct Demand {
    platform::VolumeSpace space;
    qint64 needBytes = 0;
};
} // namespace

std::optional<platform::VolumeSpace> BatchRun::shortOfSpace(int startingRow) const
{
    // By file system: what the tasks writing there still need.
    QMap<QString, Demand> demands;
    const auto add = [&](const QString &folder, qint64 bytes) {
        const auto space = m_space.spaceOf(folder);
        if (!space)
            return;
        Demand &demand = demands[space->place];
        demand.space = *space;
        demand.needBytes += bytes;
    };
    const auto addTask = [&](int row, const QString &folder, double left, double span) {
        const QString parameters = m_plan.parameters + m_plan.taskOptions.value(row);
        const qint64 bytes = projectedOutputBytes(parameters, left, span);
        add(folder, bytes);
        // The two passes of a Target Size keep their log in a temporary folder, which may be on
        // a file system of its own.
        if (sizedByTarget(parameters))
            add(QDir::tempPath(), 0);
    };
    for (const auto &task : m_running)
        addTask(task->row, QFileInfo(task->output).absolutePath(), task->span - task->largestPosition, task->span);
    if (startingRow >= 0) {
        const QString subfolder = m_plan.outputSubfolders.value(startingRow);
        const QString folder =
            subfolder.isEmpty() ? m_plan.outputDirectory : QDir(m_plan.outputDirectory).filePath(subfolder);
        const double span = m_plan.tasks.at(startingRow).SpanSec;
        addTask(startingRow, folder, span, span);
    }
    for (const Demand &demand : std::as_const(demands)) {
        if (demand.space.freeBytes < withSpaceMargin(demand.needBytes))
            return demand.space;
    }
    return std::nullopt;
}

bool BatchRun::checkSpace(int startingRow)
{
    const auto shortage = shortOfSpace(startingRow);
    if (!shortage)
        return true;
    if (m_plan.failOnLowSpace) {
        failForSpace(noRoomText(shortage->freeBytes, shortage->place));
    } else {
        m_pausedForSpace = true;
        pause();
    }
    emit lowSpace(shortage->freeBytes, shortage->place);
    return false;
}

void BatchRun::watchSpace()
{
    if (m_state == RunState::Converting && !m_running.empty())
        checkSpace();
    else if (m_state == RunState::Paused && m_pausedForSpace && m_plan.resumeWhenSpaceReturns &&
             !shortOfSpace(m_next < m_plan.tasks.size() && m_running.empty() ? m_next : -1))
        resume();
}

// The running tasks are stopped and fail with the others left, so a run nobody watches ends.
void BatchRun::failForSpace(const QString &reason)
{
    m_spaceFailure = reason;
    m_state = RunState::StopRequested;
    m_ahead.discard();
    for (const auto &task : m_running)
        task->encoder->terminate();
    QMetaObject::invokeMethod(this, &BatchRun::startTasks, Qt::QueuedConnection);
}

} // namespace conversion
