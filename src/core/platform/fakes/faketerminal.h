#pragma once

#include "core/platform/terminalapi.h"

namespace platform {

class FakeTerminal final : public Terminal {
public:
    bool isTerminal() const override { return terminal; }
    int columns() const override { return width; }

    bool terminal = true;
    int width = 80;
};

} // namespace platform
