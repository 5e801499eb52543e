#include "cli/plainreporter.h"

#include <QFileInfo>

namespace cli {

PlainReporter::PlainReporter(QIODevice &out, QIODevice &err, MonotonicClock clock)
    : m_out(out)
    , m_err(err)
    , m_clock(std::move(clock))
{}

void PlainReporter::taskSkipped(const QString &input, const QString &output, SkipReason reason)
{
    ++m_skipped;
    writeLine(m_out, QStringLiteral("Skipped %1: %2 %3.").arg(input, output, skipReasonText(reason)));
}

void PlainReporter::runStarted(int tasks)
{
    m_tasks = tasks;
}

QString PlainReporter::counter(int row) const
{
    return QStringLiteral("[%1/%2]").arg(row + 1).arg(m_tasks);
}

void PlainReporter::taskStarted(int row, const QString &input, const QString &output)
{
    m_paths.insert(row, {input, output});
    writeLine(m_out, QStringLiteral("%1 Converting %2 -> %3").arg(counter(row), input, output));
}

void PlainReporter::taskEnded(int row, conversion::TaskStatus status, const QString &failureLog,
                              const conversion::TrackReport &tracks)
{
    const auto [input, output] = m_paths.value(row);
    if (status == conversion::TaskStatus::Complete)
        ++m_complete;
    writeLine(m_out, QStringLiteral("%1 %2 %3 -> %4").arg(counter(row), conversion::statusText(status), input, output));
    for (const QString &line : leftOutLines(tracks))
        writeLine(m_out, line);
    if (!failureLog.isEmpty())
        writeLine(m_err, failureReport(status, input, failureLog));
}

void PlainReporter::runEnded(const conversion::RunSummary &summary, int)
{
    writeLine(m_out, summaryText(summary, m_complete, m_skipped, m_clock() / 1000));
}

void PlainReporter::error(const QString &text)
{
    writeLine(m_err, text);
}

void PlainReporter::runPaused()
{
    m_clock.hold();
}

void PlainReporter::runResumed()
{
    m_clock.resume();
}

} // namespace cli
