#include "core/conversion/batchrules.h"

#include "core/platform/outputclaim.h"
#include "core/platform/pathdelimiter.h"
#include "core/protocol/exitstatus.h"
#include "core/protocol/partialoutput.h"
#include "core/protocol/statusline.h"
#include "core/tasks/rtlnumbers.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
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

TaskStatus taskVerdict(platform::ProcessExit exit, const QString &output)
{
    const bool present = QFileInfo(output).size() > 0;
    if (exit.succeeded() && present)
        return TaskStatus::Complete;
    if (!exit.crashed && exit.exitCode == protocol::EncoderIncomplete && present)
        return TaskStatus::Incomplete;
    return TaskStatus::Failed;
}

QString completionText(const RunSummary &summary)
{
    if (summary.failed == 0 && summary.incomplete == 0)
        return QStringLiteral("The coversion is completed successfully.");
    const auto files = [](int count) { return count == 1 ? QStringLiteral("file") : QStringLiteral("files"); };
    const auto incomplete = [](int count) {
        return QStringLiteral("%1 %2 incomplete")
            .arg(count)
            .arg(count == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    };
    QString what;
    if (summary.failed > 0) {
        what = QStringLiteral("%1 of %2 %3 failed").arg(summary.failed).arg(summary.tasks).arg(files(summary.tasks));
        if (summary.incomplete > 0)
            what += QStringLiteral(" and ") + incomplete(summary.incomplete);
    } else {
        what = QStringLiteral("%1 of %2 %3").arg(summary.incomplete).arg(summary.tasks).arg(files(summary.tasks)) +
               QLatin1Char(' ') + incomplete(summary.incomplete).section(QLatin1Char(' '), 1);
    }
    return QStringLiteral("The conversion is completed, but %1. Choose \"Show Log\" on such a file to read why.")
        .arg(what);
}

QString trimOptions(const ltvItemData &task)
{
    QString options;
    if (task.StartSec != task.SourceStartSec)
        options += QStringLiteral(" -ss ") + task.StartText;
    if (task.SpanSec != task.LengthSec)
        options += QStringLiteral(" -t ") + QString::number(qint64(tasks::roundHalfEven(task.SpanSec)));
    return options;
}

std::optional<double> reportedPosition(std::string_view line)
{
    const std::string_view time = protocol::timeField(line);
    if (time.empty())
        return std::nullopt;
    return tasks::parseRtlFloat(QString::fromUtf8(time.data(), qsizetype(time.size())));
}

namespace {
// Spans summed from absurd durations can reach infinity, and infinity over infinity is no
// percentage at all: such a bar stays where it was.
int percentOf(double part, double whole, int previous)
{
    const double percent = tasks::roundHalfEven(part / whole * 100);
    return std::isnan(percent) ? previous : int(std::clamp(percent, 0.0, 100.0));
}
} // namespace

ProgressBars progressFor(double largestPosition, double currentSpan, double doneSpan, double totalSpan,
                         ProgressBars previous)
{
    ProgressBars bars = previous;
    if (currentSpan != 0)
        bars.current = percentOf(largestPosition, currentSpan, previous.current);
    if (totalSpan != 0)
        bars.total = percentOf(doneSpan + largestPosition, totalSpan, previous.total);
    return bars;
}

int remainingSeconds(int elapsed, int percent, int previous)
{
    if (percent == 0)
        return previous;
    return int(tasks::roundHalfEven(double(elapsed) / (percent / 100.0) - elapsed));
}

QString convertingStatusText(int jobs, int percent)
{
    return jobs > 1 ? tasks::ConvertingStatus + QStringLiteral(" %1%").arg(percent) : tasks::ConvertingStatus;
}

QString convertingFilesText(const QStringList &runningInputs, const QString &shown)
{
    if (runningInputs.isEmpty())
        return shown;
    QStringList names;
    for (const QString &input : runningInputs)
        names << QFileInfo(input).fileName();
    return names.join(QStringLiteral(", "));
}

} // namespace conversion
