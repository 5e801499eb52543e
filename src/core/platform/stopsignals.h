#pragma once

namespace platform {

// Catches the interrupt (Ctrl+C), termination and hang-up signals for as long as it lives, for a
// program without an event loop: its descriptor becomes readable when one comes. A broken pipe
// to our reader no longer kills the program either: the write fails instead. Only one may exist
// at a time.
class StopSignals {
public:
    StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;
    ~StopSignals();

    // Readable once a stop signal has come; -1 when the signals could not be caught.
    int descriptor() const;
    // Whether a stop signal has come since this was made.
    bool requested();

private:
    bool m_owner = false;
    bool m_requested = false;
};

} // namespace platform
