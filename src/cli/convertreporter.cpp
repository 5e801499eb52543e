#include "cli/convertreporter.h"

#include "core/conversion/spaceneed.h"
#include "core/tasks/timetext.h"

#include <QElapsedTimer>

namespace cli {

void ConvertReporter::lowSpace(qint64 freeBytes, const QString &place, bool failing)
{
    error(failing ? conversion::noRoomText(freeBytes, place) + QStringLiteral("; the files left fail")
                  : conversion::lowSpaceText(freeBytes, place) +
                        QStringLiteral("; the conversion goes on when there is room again"));
}

QString skipReasonText(SkipReason reason)
{
    return reason == SkipReason::BeingConverted ? QStringLiteral("is being converted by another run")
                                                : QStringLiteral("is there already");
}

MonotonicClock steadyClock()
{
    QElapsedTimer timer;
    timer.start();
    return [timer] { return timer.elapsed(); };
}

qint64 RunClock::operator()() const
{
    return (m_heldSince >= 0 ? m_heldSince : m_clock()) - m_heldMs;
}

void RunClock::hold()
{
    if (m_heldSince < 0)
        m_heldSince = m_clock();
}

void RunClock::resume()
{
    if (m_heldSince < 0)
        return;
    m_heldMs += m_clock() - m_heldSince;
    m_heldSince = -1;
}

void writeLine(QIODevice &device, const QString &text)
{
    device.write((text + QLatin1Char('\n')).toUtf8());
}

QString failureReport(conversion::TaskStatus status, const QString &input, const QString &failureLog)
{
    return QStringLiteral("%1: %2\n%3").arg(conversion::statusText(status), input, failureLog.trimmed());
}

QStringList leftOutLines(const conversion::TrackReport &tracks)
{
    QStringList lines;
    for (const QString &track : tracks.leftOut)
        lines << QStringLiteral("  left out: ") + track;
    return lines;
}

QString summaryText(const conversion::RunSummary &summary, int complete, int skipped, qint64 elapsedSeconds)
{
    // Only a run that left files out says so: "0 of 0 files" alone reads as if nothing was found.
    const QString leftOut = skipped > 0 ? QStringLiteral(", %1 skipped").arg(skipped) : QString();
    const QString counts = QStringLiteral("%1 of %2 %3 complete, %4 failed, %5 incomplete%6, in %7.")
                               .arg(complete)
                               .arg(summary.tasks)
                               .arg(summary.tasks == 1 ? QStringLiteral("file") : QStringLiteral("files"))
                               .arg(summary.failed)
                               .arg(summary.incomplete)
                               .arg(leftOut, tasks::SecondsToTimeText(double(elapsedSeconds)));
    if (summary.end == conversion::RunEnd::FinishedCurrent)
        return QStringLiteral("Stopped after the current files: ") + counts;
    return summary.end == conversion::RunEnd::Completed ? counts : QStringLiteral("Stopped: ") + counts;
}

} // namespace cli
