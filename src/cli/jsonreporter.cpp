#include "cli/jsonreporter.h"

#include "core/conversion/outputnames.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace cli {
namespace {

QString endName(conversion::RunEnd end)
{
    switch (end) {
    case conversion::RunEnd::Completed:
        return QStringLiteral("completed");
    case conversion::RunEnd::Cancelled:
        return QStringLiteral("cancelled");
    case conversion::RunEnd::StartFailed:
        return QStringLiteral("encoderFailedToStart");
    case conversion::RunEnd::FinishedCurrent:
        return QStringLiteral("stoppedAfterCurrent");
    }
    return {};
}

} // namespace

JsonReporter::JsonReporter(QIODevice &out, QIODevice &err, MonotonicClock clock)
    : m_out(out)
    , m_err(err)
    , m_clock(std::move(clock))
{}

void JsonReporter::emitEvent(const QString &name, QJsonObject fields)
{
    fields.insert(QStringLiteral("event"), name);
    m_out.write(QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n');
}

void JsonReporter::taskSkipped(const QString &input, const QString &output, SkipReason reason)
{
    ++m_skipped;
    const QString why =
        reason == SkipReason::BeingConverted ? QStringLiteral("beingConverted") : QStringLiteral("outputThere");
    emitEvent(QStringLiteral("taskSkipped"), {{"input", input}, {"output", output}, {"reason", why}});
}

void JsonReporter::runStarted(int)
{}

void JsonReporter::taskStarted(int row, const QString &input, const QString &output)
{
    m_paths.insert(row, {input, output});
    emitEvent(QStringLiteral("taskStarted"), {{"task", row}, {"input", input}, {"output", output}});
}

void JsonReporter::taskProgressed(int row, int percent)
{
    emitEvent(QStringLiteral("progress"), {{"task", row}, {"percent", percent}});
}

void JsonReporter::taskEnded(int row, conversion::TaskStatus status, const QString &failureLog,
                             const conversion::TrackReport &tracks)
{
    const auto [input, output] = m_paths.value(row);
    if (status == conversion::TaskStatus::Complete)
        ++m_complete;
    QJsonObject fields{{"task", row}, {"input", input}, {"output", output}, {"status", conversion::statusText(status)}};
    if (!failureLog.isEmpty()) {
        fields.insert(QStringLiteral("log"), failureLog);
        writeLine(m_err, failureReport(status, input, failureLog));
    }
    // Absent when the encoder planned no tracks: a profile that maps its own streams, an encoder
    // that never started.
    if (!tracks.isEmpty()) {
        fields.insert(QStringLiteral("tracks"), QJsonObject{{"kept", QJsonArray::fromStringList(tracks.kept)},
                                                            {"burnedIn", QJsonArray::fromStringList(tracks.burnedIn)},
                                                            {"leftOut", QJsonArray::fromStringList(tracks.leftOut)}});
    }
    emitEvent(QStringLiteral("taskEnded"), fields);
}

void JsonReporter::runEnded(const conversion::RunSummary &summary, int exitStatus)
{
    QJsonObject fields{{"end", endName(summary.end)},
                       {"tasks", summary.tasks},
                       {"complete", m_complete},
                       {"failed", summary.failed},
                       {"incomplete", summary.incomplete},
                       {"skipped", m_skipped},
                       {"seconds", qint64(m_clock() / 1000)},
                       {"exitStatus", exitStatus}};
    if (!summary.reason.isEmpty())
        fields.insert(QStringLiteral("reason"), summary.reason);
    emitEvent(QStringLiteral("runEnded"), fields);
}

void JsonReporter::runPaused()
{
    m_clock.hold();
    emitEvent(QStringLiteral("paused"), {});
}

void JsonReporter::runResumed()
{
    m_clock.resume();
    emitEvent(QStringLiteral("resumed"), {});
}

void JsonReporter::lowSpace(qint64 freeBytes, const QString &place, bool failing)
{
    emitEvent(QStringLiteral("lowSpace"),
              {{"freeBytes", freeBytes}, {"folder", place}, {"action", failing ? "fail" : "pause"}});
    ConvertReporter::lowSpace(freeBytes, place, failing);
}

void JsonReporter::error(const QString &text)
{
    writeLine(m_err, text);
}

} // namespace cli
