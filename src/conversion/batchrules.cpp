#include "batchrules.h"

#include <programvalues.h>
#include <rtlnumbers.h>

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
                      const QString &profileExtension, bool renameExisting)
{
    const QString folder = app::IncludeTrailingBackslash(outputDirectory);
    const QString plain = folder + task.NewName + profileExtension;
    const bool isInput = plain == task.InputFile || sameFile(plain, task.InputFile);
    if (!isInput && !(renameExisting && QFileInfo::exists(plain)))
        return plain;
    const QString extension = task.OutputExt.isEmpty() ? profileExtension : task.OutputExt;
    const QString base = folder + task.NewName + QLatin1Char('_') + QString::number(position + 1);
    QString indexed = base + extension;
    // The indexed name too may be the input; the input is never written.
    for (int extra = 1; indexed == task.InputFile || sameFile(indexed, task.InputFile); ++extra)
        indexed = base + QLatin1Char('_') + QString::number(extra) + extension;
    return indexed;
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

std::optional<double> reportedPosition(const QString &text)
{
    const qsizetype time = text.indexOf(QLatin1String("time"));
    if (time < 0)
        return std::nullopt;
    const QString rest = text.mid(time + 5);
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    if (blank <= 0)
        return std::nullopt;
    return tasks::parseRtlFloat(rest.left(blank));
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

} // namespace conversion
