#include "core/conversion/mediaprobe.h"

#include "core/platform/pathdelimiter.h"
#include "core/protocol/tracks.h"
#include "core/tasks/task.h"
#include "core/tasks/taskrecord.h"
#include "core/tasks/timetext.h"

#include <QRegularExpression>

#include <algorithm>

namespace conversion {
namespace {

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

// 1-based position of "Video" in the first stream line of that kind, 0 when there is none: a
// title may hold the word, and commas, before it.
qsizetype videoStreamPosition(const QString &text)
{
    static const QRegularExpression videoLine(QStringLiteral("^[ \\t]*Stream #[^\\n]*?: (Video): "),
                                              QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = videoLine.match(text);
    return match.hasMatch() ? match.capturedStart(1) + 1 : 0;
}

QString streamListingOf(QByteArrayView report)
{
    QStringList lines;
    for (const protocol::Track &track :
         protocol::tracksOfReport(std::string_view(report.data(), std::size_t(report.size())))) {
        for (const std::string &line : protocol::streamListing(track))
            lines << QString::fromStdString(line);
    }
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

ProbeResults resultsOf(QByteArrayView report, const QString &path)
{
    ProbeResults results;
    results.ProbeFactsText = takeFacts(report);
    results.ProbeStartText = tasks::ZeroTimeText;
    results.ProbeTracksText = streamListingOf(report);
    const CutValues cut = applyCutRules(QString::fromUtf8(report), path);
    results.ProbeLengthText = cut.duration;
    results.ProbeSizeText = cut.frameSize;
    results.ProbeEndText = results.ProbeLengthText;
    return results;
}

} // namespace

QString takeFacts(QByteArrayView &report)
{
    static constexpr QByteArrayView prefix = "  Facts: ";
    QByteArrayView body = report;
    while (body.endsWith('\n'))
        body.chop(1);
    const qsizetype lineStart = body.lastIndexOf('\n') + 1;
    const QByteArrayView line = body.sliced(lineStart);
    if (!line.startsWith(prefix))
        return {};
    report = report.first(lineStart);
    const QByteArrayView facts = line.sliced(prefix.size());
    const bool ours = !facts.isEmpty() && std::all_of(facts.begin(), facts.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
    return ours ? QString::fromLatin1(facts) : QString();
}

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
    if (const qsizetype video = videoStreamPosition(r); video > 0)
        r = fromPosition(r, video);
    else if (const qsizetype word = position(r, QStringLiteral("Video")); word > 0)
        r = fromPosition(r, word);
    for (int skipped = 0; skipped < 2; ++skipped)
        r = fromPosition(r, position(r, comma) + 1);
    k = position(r, comma);
    values.frameSize = k > 0 ? r.left(k - 1) : QString();
    return values;
}

ProbeResults TimedOutProbe()
{
    ProbeResults results;
    results.ProbeStartText = tasks::ZeroTimeText;
    return results;
}

ProbeRunReader::ProbeRunReader(QStringList paths) : m_paths(std::move(paths))
{}

void ProbeRunReader::feed(const QByteArray &bytes, const Handler &handleResult)
{
    if (m_paths.size() == 1) {
        const qsizetype room = qsizetype(protocol::MaxProbeReportBytes) - m_bareReport.size();
        m_bareReport += bytes.left(qMax<qsizetype>(room, 0));
        return;
    }
    m_frames.feed(std::string_view(bytes.constData(), std::size_t(bytes.size())),
                  [this, &handleResult](std::size_t number, std::string_view report) {
                      // A number the run was not given is no input of ours.
                      if (number < std::size_t(m_paths.size()))
                          handleResult(qsizetype(number),
                                       resultsOf(QByteArrayView(report.data(), qsizetype(report.size())),
                                                 m_paths[qsizetype(number)]));
                  });
}

void ProbeRunReader::finish(const Handler &handleResult)
{
    if (m_paths.size() == 1)
        handleResult(0, resultsOf(m_bareReport, m_paths.first()));
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
    record.NewName = tasks::StripExtension(fileName);
    record.OutputExt = outputExt;
    record.SourceStartText = probe.ProbeStartText;
    record.StartText = probe.ProbeStartText;
    record.SourceEndText = probe.ProbeEndText;
    record.EndText = probe.ProbeEndText;
    return record;
}

tasks::Task newTask(const QString &path, const ProbeResults &probe, const QString &outputExt)
{
    tasks::Task task(newTaskRecord(path, probe, outputExt));
    task.tracks = probe.ProbeTracksText;
    task.sourceFacts = probe.ProbeFactsText;
    return task;
}

} // namespace conversion
