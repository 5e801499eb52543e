#include "core/conversion/outputnames.h"

#include "core/platform/outputclaim.h"
#include "core/platform/pathdelimiter.h"
#include "core/protocol/qtpartialoutput.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace conversion {

bool sameFile(const QString &a, const QString &b)
{
    std::error_code error;
    const bool same = std::filesystem::equivalent(std::filesystem::path(a.toStdString()),
                                                  std::filesystem::path(b.toStdString()), error);
    return !error && same;
}

QString outputPathFor(const QString &outputDirectory, const ltvItemData &task, int position,
                      const QString &profileExtension, bool renameExisting, const QStringList &namesOfRun)
{
    const auto taken = [&](const QString &path) {
        return namesOfRun.contains(path) || (renameExisting && (QFileInfo::exists(path) || beingConverted(path)));
    };
    const QString folder = platform::IncludeTrailingBackslash(outputDirectory);
    const QString plain = folder + task.NewName + profileExtension;
    const bool isInput = plain == task.InputFile || sameFile(plain, task.InputFile);
    if (!isInput && !taken(plain))
        return plain;
    const QString extension = task.OutputExt.isEmpty() ? profileExtension : task.OutputExt;
    const QString base = folder + task.NewName + QLatin1Char('_');
    for (qint64 index = position + 1;; ++index) {
        const QString indexed = base + QString::number(index) + extension;
        // The input is never written, whatever the choice.
        if (indexed == task.InputFile || sameFile(indexed, task.InputFile))
            continue;
        if (!taken(indexed))
            return indexed;
    }
}

QString plannedOutputPath(const BatchPlan &plan, int row, bool renameExisting, const QStringList &namesOfRun)
{
    const QString subfolder = plan.outputSubfolders.value(row);
    int position = 0;
    for (int earlier = 0; earlier < row; ++earlier)
        position += plan.outputSubfolders.value(earlier) == subfolder ? 1 : 0;
    const QString folder = subfolder.isEmpty() ? plan.outputDirectory
                                               : platform::IncludeTrailingBackslash(plan.outputDirectory) + subfolder;
    return outputPathFor(folder, plan.tasks.at(row), position, plan.profileExtension, renameExisting, namesOfRun);
}

namespace {
std::string partialPathOnDisk(const QString &output)
{
    return QFile::encodeName(protocol::partialOutputPath(output)).toStdString();
}
} // namespace

bool beingConverted(const QString &output)
{
    return platform::isClaimedElsewhere(partialPathOnDisk(output));
}

void removeLeftPartial(const QString &output)
{
    platform::removeUnlessClaimed(partialPathOnDisk(output));
}

} // namespace conversion
