#pragma once

#include "core/platform/childprocessapi.h"

namespace platform {

// Starts real programs with QProcess, each in a process group of its own tied to our life.
class QtProcessLauncher final : public ProcessLauncher {
public:
    std::unique_ptr<ChildProcess> create() override;
    bool startsWaiting() const override { return true; }
};

} // namespace platform
