#pragma once

#include "core/platform/processpriority.h"

namespace runsetup {

// What the user chose for every run, in the settings dialog or on the command line.
struct RunOptions {
    // An output that exists already is kept and the new one takes a numbered name; otherwise
    // the new one replaces it.
    bool renameExisting = false;
    // How many tasks convert at once.
    int jobs = 1;
    // The encoders' share of the processor: a long batch leaves the computer usable.
    platform::ProcessPriority priority = platform::ProcessPriority::Low;
    // What follows a batch that converted every task.
    bool openFolder = false;
    bool exitProgram = false;
    bool turnOffComputer = false;
};

} // namespace runsetup
