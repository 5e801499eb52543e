#pragma once

#include <cstdint>

// Signals between a program and the children it starts; no Qt, so that the encoder can use them.
namespace platform {

// In a program started to wait for go: returns once its parent lets it go. At once in one not
// started so, which nobody would let go.
void awaitGo();
// Lets a child started to wait for go begin.
void letGo(std::int64_t pid);
// Between fork and exec of a child that waits for go: holds back the signal letGo sends, so that
// it stays pending until the child waits for it, however early it comes. Async-signal-safe.
void holdBackGo();

// Asks the process to end gracefully (SIGTERM on this platform).
void requestTermination(std::int64_t pid);

// Whether a process with this number is running now (one of another user's counts too).
bool processIsRunning(std::int64_t pid);

// This process's own number.
std::int64_t currentProcessId();

} // namespace platform
