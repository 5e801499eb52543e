#pragma once

#include <childprocessapi.h>

#include <QList>
#include <QString>
#include <QStringList>

struct ltvItemData;

namespace tasks {

// What one probe of an input tells.
struct ProbeResults {
    QString ProbeLengthText;
    QString ProbeSizeText;
    QString ProbeStartText;
    QString ProbeEndText;
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

// Cuts the duration and the frame size out of the encoder's report on path.
CutValues applyCutRules(const QString &report, const QString &path);

// A file on a stalled mount, or a named pipe with a video's name, never ends its report.
inline constexpr int ProbeTimeLimitMs = 10000;

// Runs the encoder on path in a process of its own, holding the thread until its report has ended
// or the time limit has passed, and returns what the report says. Results start empty for every
// probe, so a probe that fails never shows what an earlier one found; one that ran out of time
// gives an empty length and size.
ProbeResults ProbeMedia(platform::ProcessLauncher &launcher, const QString &encoderPath, const QString &path,
                        int timeLimitMs = ProbeTimeLimitMs);

// The probes of several inputs through one encoder run, which loads the media libraries once instead
// of once an input; each input's result is what ProbeMedia gives for it alone, and a stalled
// input holds the others up no longer than its own time limit.
QList<ProbeResults> ProbeMediaFiles(platform::ProcessLauncher &launcher, const QString &encoderPath,
                                    const QStringList &paths, int timeLimitMs = ProbeTimeLimitMs);

// A new task for path from its probe, named after its file, with the output extension given.
ltvItemData newTaskRecord(const QString &path, const ProbeResults &probe, const QString &outputExt);

} // namespace tasks
