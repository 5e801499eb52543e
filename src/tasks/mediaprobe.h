#pragma once

#include <childprocessapi.h>

#include <QString>

#include <memory>

struct ltvItemData;

namespace tasks {

// What one probe of an input tells.
struct ProbeResults {
    QString ProbeLengthText;
    QString ProbeSizeText;
    QString ProbeStartText;
    QString ProbeEndText;
};

struct CutValues {
    QString duration;
    QString frameSize;
};

// Cuts the duration and the frame size out of the encoder's report on path.
CutValues applyCutRules(const QString &report, const QString &path);

// Runs the encoder on path, holding the thread until its report has ended, and returns what the
// report says. Results start empty for every probe, so a probe that fails never shows what an
// earlier one found.
ProbeResults ProbeMedia(platform::ProcessLauncher &launcher, std::unique_ptr<platform::ChildProcess> &encoderSlot,
                        const QString &encoderPath, const QString &path);

// A new task for path from its probe, named after its file, with the output extension given.
ltvItemData newTaskRecord(const QString &path, const ProbeResults &probe, const QString &outputExt);

} // namespace tasks
