#pragma once

#include "core/platform/interruptionapi.h"

namespace platform {

// Interrupts when the test says so.
class FakeInterruption final : public Interruption {
public:
    using Interruption::Interruption;
    void interrupt(int signal) { emit interrupted(signal); }
    void requestFinish() { emit finishRequested(); }
    void suspend() { emit suspendRequested(); }
    void continueAfterSuspend() { emit continued(); }
};

} // namespace platform
