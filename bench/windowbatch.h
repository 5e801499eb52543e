#pragma once

#include <QString>

#include <vector>

struct WindowFigure {
    bool ok = false;
    double seconds = -1;              // from the Start click to the run's end
    double firstStartSeconds = -1;    // from the click to the first conversion starting
    double cpuSeconds = -1;           // of the window's process and the encoders it started
    double ownCpuSeconds = -1;        // of the window's process alone
    std::vector<double> starts, ends; // when each conversion started and ended
};

// Converts the clips of a folder in the main window (offscreen, fakes for the desktop services,
// the real encoder): the folder added with Add Directory and probed, the profile the only one
// there is, the simultaneous conversions set in the Settings window at normal priority, then
// Start clicked.
WindowFigure convertInWindow(const QString &encoder, const QString &profileFile, const QString &clipsFolder,
                             int clipCount, const QString &outputFolder, int jobs);
