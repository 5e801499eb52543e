#pragma once

namespace cli {

// The program without its window: converts, lists the profiles, or prints its help or version,
// as the command line asks, and returns the exit status. Needs no display.
int runHeadless(int argc, char *argv[]);

// Whether the command line asks for runHeadless rather than the window.
bool wantsHeadless(int argc, char *argv[]);

} // namespace cli
