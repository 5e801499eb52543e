#include "convertinputs.h"

#include <inputfiles.h>
#include <pathdelimiter.h>
#include <tasktrim.h>

#include <QDir>
#include <QFileInfo>

namespace app {

InputFiles collectInputFiles(const QStringList &given)
{
    InputFiles inputs;
    const auto add = [&inputs](const QString &path) {
        if (!inputs.files.contains(path))
            inputs.files << path;
    };
    for (const QString &path : given) {
        const QFileInfo info(path);
        const QString absolute = QDir::cleanPath(info.absoluteFilePath());
        if (!info.exists()) {
            inputs.missing << path;
        } else if (info.isDir()) {
            const QString folder = platform::IncludeTrailingBackslash(absolute);
            for (const QString &name : tasks::ListSupportedFiles(absolute)) {
                add(folder + name);
                if (tasks::NeedsStreamCheck(folder + name))
                    inputs.unconfirmed << folder + name;
            }
        } else {
            add(absolute);
        }
    }
    return inputs;
}

std::optional<QString> taskFromProbe(const QString &path, const tasks::ProbeResults &probe,
                                     const QString &outputExtension, const std::optional<QString> &start,
                                     const std::optional<QString> &end, ltvItemData &task)
{
    task = tasks::newTaskRecord(path, probe, outputExtension);
    tasks::deriveSeconds(task, tasks::SelectWholeRow);
    if (!start && !end)
        return std::nullopt;
    const tasks::TrimTaken taken = tasks::applyStartAndEnd(task, start.value_or(QString()), end.value_or(QString()));
    if ((!start || taken.start) && (!end || taken.end))
        return std::nullopt;
    if (task.LengthText.isEmpty())
        return QStringLiteral("\"%1\" cannot be cut: its length is unknown.").arg(path);
    const QString which = start && !taken.start ? QStringLiteral("start time ") + *start
                                                : QStringLiteral("end time ") + *end;
    return QStringLiteral("The %1 leaves nothing of \"%2\" to convert: it runs from %3 to %4.")
        .arg(which, path, task.SourceStartText, task.SourceEndText);
}

} // namespace app
