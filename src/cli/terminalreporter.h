#pragma once

#include "cli/convertreporter.h"
#include "core/platform/terminalapi.h"

#include <QHash>
#include <QMap>
#include <QObject>

class QTimer;

namespace cli {

// For a person at a terminal: a line for each running task, redrawn in place every second and
// whenever it progresses, never wider than the terminal so that no line wraps; a line for each
// task that ended stays above them.
class TerminalReporter final
    : public QObject
    , public ConvertReporter {
    Q_OBJECT

public:
    TerminalReporter(const platform::Terminal &terminal, QIODevice &out, QIODevice &err,
                     MonotonicClock clock = steadyClock(), QObject *parent = nullptr);

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

    // Draws the running lines anew over the old ones.
    void redraw();

private:
    struct Running {
        QString name;
        qint64 startedMs = 0;
        int percent = 0;
        int remaining = 0;
    };

    // Updates the task's remaining time too, at the pace it has had so far.
    QString lineOf(Running &task, qint64 now) const;
    // Takes the running lines off the screen, so that what comes next is written where they were.
    void erase();

    const platform::Terminal &m_terminal;
    QIODevice &m_out;
    QIODevice &m_err;
    RunClock m_clock;
    QTimer *m_timer;
    QMap<int, Running> m_running; // by row, so the lines keep the list order
    QHash<int, QString> m_inputs;
    int m_drawnLines = 0;
    int m_complete = 0;
    int m_skipped = 0; // inputs left out as converted before
};

// How many terminal columns text takes: marks that combine with the character before take none,
// East Asian wide characters two.
int displayWidth(const QString &text);

// text cut to at most columns, an ellipsis marking the cut.
QString fitToWidth(const QString &text, int columns);

} // namespace cli
