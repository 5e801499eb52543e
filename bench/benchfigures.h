#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

// Seconds a job took, -1 when it failed.
inline double timed(const std::function<bool()> &job)
{
    QElapsedTimer clock;
    clock.start();
    const bool ok = job();
    return ok ? double(clock.nsecsElapsed()) / 1e9 : -1;
}

// The middle of the figures; -1 when any of them failed.
inline double median(std::vector<double> values)
{
    if (values.empty() || std::count(values.begin(), values.end(), -1.0))
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Seconds the conversion slots stood empty while files were left: each end frees a slot that the
// start width places later fills. Times in seconds from one origin, in any order.
inline double idleSlotSeconds(std::vector<double> starts, std::vector<double> ends, int width)
{
    std::sort(starts.begin(), starts.end());
    std::sort(ends.begin(), ends.end());
    double idle = 0;
    for (std::size_t i = 0; i + std::size_t(width) < starts.size() && i < ends.size(); ++i)
        idle += std::max(0.0, starts[i + std::size_t(width)] - ends[i]);
    return idle;
}
