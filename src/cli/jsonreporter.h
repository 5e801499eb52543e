#pragma once

#include "cli/convertreporter.h"

#include <QHash>
#include <QJsonObject>

namespace cli {

// One JSON object a line for every event, for programs that follow a run: first "taskSkipped"
// for each input left out, then "taskStarted", "progress", "taskEnded" and, last, "runEnded".
// Errors still go to the error output as text.
class JsonReporter final : public ConvertReporter {
public:
    JsonReporter(QIODevice &out, QIODevice &err, MonotonicClock clock = steadyClock());

    void taskSkipped(const QString &input, const QString &output, SkipReason reason) override;
    void runStarted(int tasks) override;
    void taskStarted(int row, const QString &input, const QString &output) override;
    void taskProgressed(int row, int percent) override;
    void taskEnded(int row, conversion::TaskStatus status, const QString &failureLog,
                   const conversion::TrackReport &tracks) override;
    void runEnded(const conversion::RunSummary &summary, int exitStatus) override;
    void runPaused() override;
    void runResumed() override;
    void error(const QString &text) override;
    void lowSpace(qint64 freeBytes, const QString &place, bool failing) override;

private:
    void emitEvent(const QString &name, QJsonObject fields);

    QIODevice &m_out;
    QIODevice &m_err;
    RunClock m_clock;
    int m_complete = 0;
    int m_skipped = 0; // inputs left out as converted before
    QHash<int, std::pair<QString, QString>> m_paths;
};

} // namespace cli
