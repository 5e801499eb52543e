#include "cli/terminalreporter.h"

#include "core/conversion/progresstime.h"
#include "core/tasks/timetext.h"

#include <QFileInfo>
#include <QStringView>
#include <QTimer>

namespace cli {
namespace {

constexpr int RedrawMs = 1000;
// An ended task's line: its status, the time it took, its name.
constexpr int StatusWidth = 10;
constexpr int TimeWidth = 8; // hh:mm:ss
const QString Ellipsis = QStringLiteral("\u2026");

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

int widthOf(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing || category == QChar::Other_Format)
        return 0;
    // A control character would move the cursor; it is drawn as one replacement character.
    return isWide(c) ? 2 : 1;
}

// A name with a line break or an escape in it must not break the drawing.
QString printable(const QString &text)
{
    QString shown;
    for (const char32_t c : QStringView(text).toUcs4()) {
        if (QChar::category(c) == QChar::Other_Control)
            shown += QChar(0xFFFD);
        else
            shown += QString::fromUcs4(&c, 1);
    }
    return shown;
}

} // namespace

int displayWidth(const QString &text)
{
    int width = 0;
    for (const char32_t c : QStringView(text).toUcs4())
        width += widthOf(c);
    return width;
}

QString fitToWidth(const QString &text, int columns)
{
    if (displayWidth(text) <= columns)
        return text;
    QString fitted;
    int width = 0;
    const int room = columns - 1; // for the ellipsis
    for (const char32_t c : QStringView(text).toUcs4()) {
        if (width + widthOf(c) > room)
            break;
        width += widthOf(c);
        fitted += QString::fromUcs4(&c, 1);
    }
    return columns > 0 ? fitted + Ellipsis : QString();
}

TerminalReporter::TerminalReporter(const platform::Terminal &terminal, QIODevice &out, QIODevice &err,
                                   MonotonicClock clock, QObject *parent)
    : QObject(parent)
    , m_terminal(terminal)
    , m_out(out)
    , m_err(err)
    , m_clock(std::move(clock))
    , m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &TerminalReporter::redraw);
}

// A skipped file took no time: its line leaves the time out, its name in the column of the others.
void TerminalReporter::taskSkipped(const QString &input, const QString &, SkipReason reason)
{
    ++m_skipped;
    erase();
    const QString why =
        reason == SkipReason::BeingConverted ? QStringLiteral(" (being converted by another run)") : QString();
    writeLine(m_out, QStringLiteral("%1  %2  %3")
                         .arg(QStringLiteral("Skipped").leftJustified(StatusWidth),
                              QString(TimeWidth, QLatin1Char(' ')), printable(QFileInfo(input).fileName()) + why));
    redraw();
}

void TerminalReporter::runStarted(int)
{
    m_timer->start(RedrawMs);
}

void TerminalReporter::taskStarted(int row, const QString &input, const QString &)
{
    m_inputs.insert(row, input);
    m_running.insert(row, {printable(QFileInfo(input).fileName()), m_clock(), 0, 0});
    redraw();
}

void TerminalReporter::taskProgressed(int row, int percent)
{
    const auto task = m_running.find(row);
    if (task == m_running.end())
        return;
    task->percent = percent;
    redraw();
}

void TerminalReporter::taskEnded(int row, conversion::TaskStatus status, const QString &failureLog,
                                 const conversion::TrackReport &tracks)
{
    erase();
    const Running task = m_running.take(row);
    if (status == conversion::TaskStatus::Complete)
        ++m_complete;
    const qint64 seconds = (m_clock() - task.startedMs) / 1000;
    writeLine(m_out, QStringLiteral("%1  %2  %3")
                         .arg(conversion::statusText(status).leftJustified(StatusWidth),
                              tasks::SecondsToTimeText(double(seconds)), task.name));
    for (const QString &line : leftOutLines(tracks))
        writeLine(m_out, fitToWidth(line, m_terminal.columns() - 1));
    if (!failureLog.isEmpty())
        writeLine(m_err, failureReport(status, m_inputs.value(row), failureLog));
    redraw();
}

void TerminalReporter::runEnded(const conversion::RunSummary &summary, int)
{
    m_timer->stop();
    erase();
    m_running.clear();
    writeLine(m_out, summaryText(summary, m_complete, m_skipped, m_clock() / 1000));
}

void TerminalReporter::runPaused()
{
    m_clock.hold();
    redraw();
}

void TerminalReporter::runResumed()
{
    m_clock.resume();
    redraw();
}

void TerminalReporter::error(const QString &text)
{
    erase();
    writeLine(m_err, text);
    redraw();
}

QString TerminalReporter::lineOf(Running &task, qint64 now) const
{
    const int elapsed = int((now - task.startedMs) / 1000);
    task.remaining = conversion::remainingSeconds(elapsed, task.percent, task.remaining);
    return QStringLiteral("%1%  %2 elapsed  %3 left  %4")
        .arg(task.percent, 3)
        .arg(tasks::SecondsToTimeText(elapsed), tasks::SecondsToTimeText(task.remaining), task.name);
}

void TerminalReporter::redraw()
{
    const qint64 now = m_clock();
    // The last column stays free: a line that fills it puts some terminals on the next line.
    const int columns = qMax(m_terminal.columns() - 1, 1);
    QString frame;
    if (m_drawnLines > 0)
        frame += QStringLiteral("\x1b[%1A\r\x1b[J").arg(m_drawnLines);
    for (Running &task : m_running)
        frame += fitToWidth(lineOf(task, now), columns) + QLatin1Char('\n');
    m_drawnLines = int(m_running.size());
    m_out.write(frame.toUtf8());
}

void TerminalReporter::erase()
{
    if (m_drawnLines > 0)
        m_out.write(QStringLiteral("\x1b[%1A\r\x1b[J").arg(m_drawnLines).toUtf8());
    m_drawnLines = 0;
}

} // namespace cli
