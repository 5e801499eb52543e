// A run held where it is, or told to end after the files converting now; and the watch for
// encoders that hang.
#include "core/conversion/batchrun.h"
#include "core/conversion/batchtask.h"
#include "core/protocol/qtpartialoutput.h"

#include <QFileInfo>

namespace conversion {
namespace {
// How often a stall is looked for, at most.
constexpr int StallCheckMs = 10 * 1000;
} // namespace

int stallCheckInterval(int stallLimitMs)
{
    return qBound(10, stallLimitMs / 4, StallCheckMs);
}

void BatchRun::pause()
{
    if (m_state != RunState::Converting)
        return;
    m_state = RunState::Paused;
    // A held encoder makes no progress, and that is no stall.
    m_stallWatch.stop();
    for (const auto &task : m_running)
        task->encoder->hold();
    emit pausedChanged(true);
}

void BatchRun::resume()
{
    if (m_state != RunState::Paused)
        return;
    m_state = RunState::Converting;
    m_pausedForSpace = false;
    for (const auto &task : m_running) {
        task->encoder->resume();
        task->sinceProgress.restart();
    }
    m_stallWatch.start();
    for (const auto &task : m_running)
        emit taskProgressed(task->row, task->percent);
    emit pausedChanged(false);
    // Tasks whose turn came during the pause start now.
    QMetaObject::invokeMethod(this, &BatchRun::startTasks, Qt::QueuedConnection);
}

void BatchRun::finishCurrent()
{
    if (m_state != RunState::Converting && m_state != RunState::Paused)
        return;
    m_finishCurrent = true;
    m_ahead.discard();
    QMetaObject::invokeMethod(this, &BatchRun::startTasks, Qt::QueuedConnection);
}

// An encoder that neither moves on nor writes is killed; its task then fails, and the run goes on.
void BatchRun::watchForStalls()
{
    for (const auto &task : m_running) {
        const qint64 size = QFileInfo(protocol::partialOutputPath(task->output)).size();
        if (size != task->partialSize) {
            task->partialSize = size;
            task->sinceProgress.restart();
        }
        if (!task->stalled && task->sinceProgress.hasExpired(m_plan.stallLimitMs)) {
            task->stalled = true;
            task->encoder->terminate();
        }
    }
}

} // namespace conversion
