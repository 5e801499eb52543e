#include "mediaprobe.h"

#include "taskrecord.h"
#include "timetext.h"

#include <encoderrun.h>

#include <optional>
#include <pathdelimiter.h>

namespace tasks {
namespace {

// A report longer than this is no report of ours; its head holds all the cut rules need.
constexpr qsizetype MaxReportBytes = 1 << 20;

// The text from 1-based position k on: all of it for k <= 1, nothing past the end.
QString fromPosition(const QString &text, qsizetype k)
{
    return text.mid(std::max<qsizetype>(k, 1) - 1);
}

// 1-based position of the first needle, 0 when there is none.
qsizetype position(const QString &text, const QString &needle)
{
    return text.indexOf(needle) + 1;
}

ProbeResults resultsOf(const QByteArray &report, const QString &path)
{
    ProbeResults results;
    results.ProbeStartText = ZeroTimeText;
    const CutValues cut = applyCutRules(QString::fromUtf8(report), path);
    results.ProbeLengthText = cut.duration;
    results.ProbeSizeText = cut.frameSize;
    results.ProbeEndText = results.ProbeLengthText;
    return results;
}

// One report of a run probing several inputs, taken off the front of what the run has written.
struct FramedReport {
    int number = 0;
    QByteArray text;
};

// Nothing while the next report is not all there; sets malformed when the text is no framing of ours.
std::optional<FramedReport> takeReport(QByteArray &buffer, bool &malformed)
{
    const qsizetype lineEnd = buffer.indexOf('\n');
    if (lineEnd < 0)
        return std::nullopt;
    const QList<QByteArray> words = buffer.left(lineEnd).split(' ');
    bool numbered = false;
    bool sized = false;
    const int number = words.value(1).toInt(&numbered);
    const qsizetype size = words.value(2).toLongLong(&sized);
    if (words.size() != 3 || words.first() != "Probe" || !numbered || !sized || size < 0 || size > MaxReportBytes) {
        malformed = true;
        return std::nullopt;
    }
    if (buffer.size() - lineEnd - 1 < size)
        return std::nullopt;
    FramedReport report{number, buffer.mid(lineEnd + 1, size)};
    buffer.remove(0, lineEnd + 1 + size);
    return report;
}

} // namespace

CutValues applyCutRules(const QString &report, const QString &path)
{
    const QString comma = QStringLiteral(",");
    CutValues values;
    QString r = fromPosition(report, position(report, path) + path.size());
    if (const qsizetype k = position(r, QStringLiteral("Duration")); k > 0)
        r = fromPosition(r, k + 1);
    r = fromPosition(r, position(r, QStringLiteral(":")) + 2);
    qsizetype k = position(r, comma);
    values.duration = k > 0 ? r.left(k - 1) : QString();
    r = fromPosition(r, k + 1);
    if (const qsizetype video = position(r, QStringLiteral("Video")); video > 0)
        r = fromPosition(r, video);
    for (int skipped = 0; skipped < 2; ++skipped)
        r = fromPosition(r, position(r, comma) + 1);
    k = position(r, comma);
    values.frameSize = k > 0 ? r.left(k - 1) : QString();
    return values;
}

ProbeResults ProbeMedia(platform::ProcessLauncher &launcher, const QString &encoderPath, const QString &path,
                        int timeLimitMs)
{
    ProbeResults results;
    QByteArray report;
    const auto outcome = conversion::runEncoder(
        launcher, encoderPath, conversion::probeCommandLine(path), QDeadlineTimer(timeLimitMs),
        [&report](const QByteArray &bytes) {
            if (report.size() < MaxReportBytes)
                report += bytes.left(MaxReportBytes - report.size());
        });
    if (!outcome.started)
        return results;
    results.ProbeStartText = ZeroTimeText;
    if (outcome.timedOut)
        return results;
    return resultsOf(report, path);
}

QList<ProbeResults> ProbeMediaFiles(platform::ProcessLauncher &launcher, const QString &encoderPath,
                                    const QStringList &paths, int timeLimitMs)
{
    if (paths.size() < 2) {
        QList<ProbeResults> results;
        for (const QString &path : paths)
            results << ProbeMedia(launcher, encoderPath, path, timeLimitMs);
        return results;
    }
    QList<ProbeResults> results(paths.size());
    QList<bool> probed(paths.size(), false);
    const std::unique_ptr<platform::ChildProcess> encoder = launcher.create();
    if (!encoder->start(encoderPath, conversion::probeCommandLine(paths).arguments))
        return results;
    QByteArray buffer;
    bool malformed = false;
    bool timedOut = false;
    // Each input has its own time, as when probed alone.
    QDeadlineTimer deadline(timeLimitMs);
    while (!malformed) {
        const auto bytes = encoder->read(conversion::EncoderReadSize, deadline);
        if (!bytes)
            timedOut = true;
        if (!bytes || bytes->isEmpty())
            break;
        buffer += *bytes;
        while (const auto report = takeReport(buffer, malformed)) {
            if (report->number >= 0 && report->number < paths.size() && !probed[report->number]) {
                results[report->number] = resultsOf(report->text, paths[report->number]);
                probed[report->number] = true;
            }
            deadline = QDeadlineTimer(timeLimitMs);
        }
    }
    conversion::TerminateEncoder(encoder.get());
    // The run goes through the inputs in order, so the first one left is the one it was held on;
    // a new run takes those after it. What an encoder without this framing left is probed one by one.
    QList<qsizetype> left;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        if (!probed[i])
            left << i;
    }
    if (timedOut && !left.isEmpty()) {
        results[left.takeFirst()].ProbeStartText = ZeroTimeText;
        QStringList rest;
        for (const qsizetype i : left)
            rest << paths[i];
        const QList<ProbeResults> restResults = ProbeMediaFiles(launcher, encoderPath, rest, timeLimitMs);
        for (qsizetype k = 0; k < left.size(); ++k)
            results[left[k]] = restResults.value(k);
        return results;
    }
    for (const qsizetype i : left)
        results[i] = ProbeMedia(launcher, encoderPath, paths[i], timeLimitMs);
    return results;
}

ltvItemData newTaskRecord(const QString &path, const ProbeResults &probe, const QString &outputExt)
{
    ltvItemData record;
    record.InputFile = path;
    record.LengthText = probe.ProbeLengthText;
    record.SpanText = probe.ProbeLengthText;
    record.SizeText = probe.ProbeSizeText;
    record.Status = QStringLiteral("OK");
    // Only the path delimiter ends a directory here; a ":" is an ordinary character of a name.
    const QString fileName = path.mid(path.lastIndexOf(platform::PathDelimiter) + 1);
    record.NewName = StripExtension(fileName);
    record.OutputExt = outputExt;
    record.SourceStartText = probe.ProbeStartText;
    record.StartText = probe.ProbeStartText;
    record.SourceEndText = probe.ProbeEndText;
    record.EndText = probe.ProbeEndText;
    return record;
}

} // namespace tasks
