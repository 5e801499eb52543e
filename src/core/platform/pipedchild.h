#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A program run without an event loop, its output and error each read through a pipe as the
// caller waits for them. It stays in our process group, so whoever kills the group kills it
// too, and it gets a death signal tied to this process: it never outlives us.
class PipedChild {
public:
    struct Events {
        std::string output;
        std::string error;
        bool watchedReady = false; // the descriptor given to wait() can be read
        bool ended = false;        // it has exited and everything it wrote has been read
    };

    PipedChild() = default;
    PipedChild(const PipedChild &) = delete;
    PipedChild &operator=(const PipedChild &) = delete;
    // One still running is killed and reaped.
    ~PipedChild();

    // False, with the reason in error, when the program cannot be run at all.
    bool start(const std::string &program, const std::vector<std::string> &arguments, std::string *error);
    // Waits at most timeoutMs for output, the end, or the watched descriptor to become readable.
    Events wait(int timeoutMs, int watched = -1);
    void terminate();
    void kill();

    bool crashed() const { return m_crashed; }
    // The exit code, or the number of the signal that ended it.
    int exitCode() const { return m_exitCode; }

private:
    bool reap(bool block);
    void drain(int &descriptor, std::string &into);
    void closeAll();

    int m_pid = -1;
    int m_output = -1;
    int m_error = -1;
    int m_input = -1; // held open and never written: FFmpeg reads its keys there
    bool m_reaped = false;
    bool m_crashed = false;
    int m_exitCode = 0;
};

} // namespace platform
