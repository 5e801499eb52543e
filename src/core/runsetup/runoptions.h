#pragma once

namespace runsetup {

// What the user chose for every run, in the settings dialog or on the command line.
struct RunOptions {
    // An output that exists already is kept and the new one takes a numbered name; otherwise
    // the new one replaces it.
    bool renameExisting = false;
    // How many tasks convert at once.
    int jobs = 1;
    // What follows a batch that converted every task.
    bool openFolder = false;
    bool exitProgram = false;
    bool turnOffComputer = false;
};

} // namespace runsetup
