#pragma once

#include "core/platform/fakes/fakechildprocess.h"
#include "core/protocol/probeframing.h"

#include <functional>

namespace testprobe {

// An encoder start that probes: "-i A [-i B ...]", where a conversion begins with "-y".
inline bool isProbe(const platform::FakeStart &start)
{
    return !start.arguments.isEmpty() && start.arguments.first() == QLatin1String("-i");
}

// What the encoder writes when it probes the inputs of start: the report of one input bare, those of
// several each in its frame.
inline platform::FakeRun probeRun(const platform::FakeStart &start,
                                  const std::function<QByteArray(const QString &path)> &reportOf)
{
    platform::FakeRun run;
    if (start.arguments.size() == 2) {
        run.reads = {reportOf(start.arguments.last())};
        return run;
    }
    for (qsizetype i = 1; i < start.arguments.size(); i += 2) {
        const QByteArray report = reportOf(start.arguments[i]);
        run.reads << QByteArray::fromStdString(
                         protocol::probeFrameHeader(std::size_t(i / 2), std::size_t(report.size()))) +
                         report;
    }
    return run;
}

// How many inputs the encoder was asked to probe, in all its runs.
inline int probedInputs(const QList<platform::FakeStart> &starts)
{
    int inputs = 0;
    for (const platform::FakeStart &start : starts) {
        if (isProbe(start))
            inputs += int(start.arguments.size() / 2);
    }
    return inputs;
}

} // namespace testprobe
