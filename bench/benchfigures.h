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
