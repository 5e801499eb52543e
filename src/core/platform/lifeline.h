#pragma once

#include <string>

namespace platform {

// A lock on a file that lives as long as the process holding it and every child it started
// after passing the lock on: children started through confineChildProcess inherit it, and
// FFmpeg under the encoder with them. Whoever takes it after a program died knows that nothing
// that program started still runs.
class Lifeline {
public:
    Lifeline() = default;
    Lifeline(const Lifeline &) = delete;
    Lifeline &operator=(const Lifeline &) = delete;
    ~Lifeline();

    // Takes the lock at path, made if missing, waiting at most patienceMs for the processes that
    // hold it to end; false when they outlived that. A file that cannot be opened or locked
    // counts as taken: nobody can hold it either.
    bool take(const std::string &path, int patienceMs);
    // Every child started from now on holds the lock too.
    void passToChildren();

private:
    int m_descriptor = -1;
};

// The descriptor that confineChildProcess leaves open for the child, -1 for none; read between
// fork and exec.
int lifelineForChildren();

} // namespace platform
