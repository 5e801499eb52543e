#pragma once

#include "cli/convertreporter.h"

#include <QHash>

namespace cli {

// One line when a task starts and one when it ends, for a log or a pipe.
class PlainReporter final : public ConvertReporter {
public:
    PlainReporter(QIODevice &out, QIODevice &err, MonotonicClock clock = steadyClock());

    void taskSkipped(const QString &input, const QString &output, SkipReason reason) override;
    void runStarted(int tasks) override;
    void taskStarted(int row, const QString &input, const QString &output) override;
    void taskProgressed(int, int) override {}
    void taskEnded(int row, conversion::TaskStatus status, const QString &failureLog,
                   const conversion::TrackReport &tracks) override;
    void runEnded(const conversion::RunSummary &summary, int exitStatus) override;
    void runPaused() override;
    void runResumed() override;
    void error(const QString &text) override;

private:
    QString counter(int row) const;

    QIODevice &m_out;
    QIODevice &m_err;
    RunClock m_clock;
    int m_tasks = 0;
    int m_complete = 0;
    int m_skipped = 0;                               // inputs left out as converted before
    QHash<int, std::pair<QString, QString>> m_paths; // input and output of each started row
};

} // namespace cli
