#pragma once

#include "core/platform/childprocessapi.h"

#include <QList>

#include <deque>
#include <functional>
#include <memory>

namespace platform {

// What one fake child does: its output in the given reads, then its exit.
struct FakeRun {
    bool failsToStart = false;
    QList<QByteArray> reads;
    bool hangsAfterReads = false; // silent until terminated; a waiting read runs out of time
    // Already gone when a terminate reaches it, as a child whose exit is still on its way: the
    // terminate has no effect and its own output and exit arrive.
    bool finishedBeforeTerminate = false;
    ProcessExit exit{false, 0};
    std::function<void()> onStart; // runs when the child starts, e.g. to write its output file
};

struct FakeStart {
    QString program;
    QStringList arguments;
};

// Plays scripted children; each start takes the next queued run (or asks the responder).
class FakeProcessLauncher final : public ProcessLauncher {
public:
    std::unique_ptr<ChildProcess> create() override;

    void queue(FakeRun run) { m_queue.push_back(std::move(run)); }
    std::function<FakeRun(const FakeStart &)> responder;

    QList<FakeStart> starts;
    int terminations = 0;
    // The children held now, and the priority the last one was given.
    int held = 0;
    ProcessPriority priority = ProcessPriority::Normal;

private:
    friend class FakeChildProcess;
    FakeRun next(const FakeStart &start);
    std::deque<FakeRun> m_queue;
};

} // namespace platform
