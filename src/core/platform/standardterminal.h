#pragma once

#include "core/platform/terminalapi.h"

namespace platform {

// The terminal the process's standard output is connected to, if it is one.
class StandardOutputTerminal final : public Terminal {
public:
    bool isTerminal() const override;
    int columns() const override;
};

} // namespace platform
