#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// Runs every argument list with program, width of them at a time, each next one started as soon
// as one ends; false when any failed.
bool runAll(const QString &program, const QList<QStringList> &argumentLists, int width);

// Runs program once, its output thrown away; false when it failed.
bool runs(const QString &program, const QStringList &arguments);

struct HeadlessFigure {
    bool ok = false;
    double seconds = -1;
    double firstStartSeconds = -1;    // until the first "taskStarted" event came
    double cpuSeconds = -1;           // of the batch mode and all it started
    std::vector<double> starts, ends; // when each "taskStarted" and "taskEnded" event came
};

// The batch mode with --json, timed from its start to its exit.
HeadlessFigure runHeadless(const QString &velkor, const QStringList &arguments);

// Processor time of our reaped children, user and system, in milliseconds: the encoder reaps
// FFmpeg, so its figure holds FFmpeg's too.
double childCpuMs();
// Processor time of this process, all its threads, in milliseconds.
double ownCpuMs();
