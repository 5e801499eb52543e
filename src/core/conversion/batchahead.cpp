// The command each task's encoder gets, and the encoder of the next task started ahead of its turn.
#include "core/conversion/batchrun.h"
#include "core/conversion/batchtask.h"
#include "core/conversion/encodercommand.h"
#include "core/conversion/outputnames.h"

#include <QFileInfo>

namespace conversion {

QStringList BatchRun::encoderArguments(int row, const QString &output) const
{
    const ltvItemData &record = m_plan.tasks.at(row);
    // A name that is free now and taken when the encoder looks again was taken by another run,
    // whose file must stay.
    const QString noReplace = QFileInfo::exists(output) ? QString() : QStringLiteral(" -n");
    return conversionCommandLine(record.InputFile,
                                 m_plan.parameters + m_plan.taskOptions.value(row) + trimOptions(record) + noReplace +
                                     plannedLengthOption(record.LengthSec),
                                 output)
        .arguments;
}

// Loading the encoder takes a few hundredths of a second: with one job, done between two files,
// it would add up over a batch of short ones. Started once the running FFmpeg is under way, it
// has loaded by its turn without competing with that FFmpeg's own start. Whatever decides its
// command is looked at again then, and a changed command starts afresh.
void BatchRun::prepareNext()
{
    if (!m_launcher.startsWaiting() || m_state != RunState::Converting || m_finishCurrent ||
        int(m_running.size()) < m_plan.jobs || m_next >= m_plan.tasks.size())
        return;
    const QString output = plannedOutputPath(m_plan, m_next, m_plan.renameExisting, m_namesOfRun);
    if (mayStart(m_next, output))
        m_ahead.prepare(m_plan.encoderPath, encoderArguments(m_next, output), m_plan.priority);
}

} // namespace conversion
