#include "core/conversion/taskverdict.h"

#include "core/protocol/exitstatus.h"

#include <QFileInfo>

namespace conversion {

TaskStatus taskVerdict(platform::ProcessExit exit, const QString &output)
{
    const bool present = QFileInfo(output).size() > 0;
    if (exit.succeeded() && present)
        return TaskStatus::Complete;
    if (!exit.crashed && exit.exitCode == protocol::EncoderIncomplete && present)
        return TaskStatus::Incomplete;
    return TaskStatus::Failed;
}

} // namespace conversion
