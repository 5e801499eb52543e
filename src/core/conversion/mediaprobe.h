#pragma once

#include "core/protocol/probeframing.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct ltvItemData;
namespace tasks {
class Task;
}

namespace conversion {

// What one probe of an input tells.
struct ProbeResults {
    QString ProbeLengthText;
    QString ProbeSizeText;
    QString ProbeStartText;
    QString ProbeEndText;
    // The input's streams, as protocol::streamListing writes them.
    QString ProbeTracksText;
    // What the encoder found, in the form it reads back when it converts the file unchanged, so
    // that it need not open the input again before FFmpeg starts. Empty from an encoder without it.
    QString ProbeFactsText;
};

// Whether the probe found anything of a medium: a length or a frame size.
inline bool FoundStream(const ProbeResults &probe)
{
    return !probe.ProbeLengthText.isEmpty() || !probe.ProbeSizeText.isEmpty();
}

struct CutValues {
    QString duration;
    QString frameSize;
};

// Takes the facts line that ends an encoder's report off it, and gives its facts. It goes before
// the report is read, as its letters may spell any word the cut rules look for. A line of another
// shape is no facts of ours: it goes too, and gives none.
QString takeFacts(QByteArrayView &report);

// Cuts the duration and the frame size out of the encoder's report on path.
CutValues applyCutRules(const QString &report, const QString &path);

// A file on a stalled mount, or a named pipe with a video's name, never ends its report.
inline constexpr int ProbeTimeLimitMs = 10000;

// What one probe says of an input that ran out of time: it starts at zero, with no length or size.
ProbeResults TimedOutProbe();

// The one reader of what an encoder run probing a list of inputs writes, fed as it arrives: a run
// of one input writes its report bare, a run of several frames each report. Results start empty
// for every input, so a probe that fails never shows what an earlier one found.
class ProbeRunReader {
public:
    using Handler = std::function<void(qsizetype input, const ProbeResults &results)>;

    explicit ProbeRunReader(QStringList paths);

    // Hands over each input whose report the bytes complete, by its position in the run.
    void feed(const QByteArray &bytes, const Handler &handleResult);
    // The output has ended: a bare report is complete only now.
    void finish(const Handler &handleResult);
    // The output is no framing of ours (an older encoder's, say): nothing more is read, and the
    // inputs it did not report must be probed one by one.
    bool malformed() const { return m_frames.malformed(); }

private:
    QStringList m_paths;
    QByteArray m_bareReport;
    protocol::ProbeFrameReader m_frames;
};

// A new task for path from its probe, named after its file, with the output extension given.
ltvItemData newTaskRecord(const QString &path, const ProbeResults &probe, const QString &outputExt);
// The same, carrying the input's streams.
tasks::Task newTask(const QString &path, const ProbeResults &probe, const QString &outputExt);

} // namespace conversion
