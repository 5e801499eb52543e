#pragma once

namespace platform {

// The program's standard output, seen as the terminal it may be.
class Terminal {
public:
    virtual ~Terminal() = default;
    // Whether standard output is a terminal, on which lines can be redrawn in place.
    virtual bool isTerminal() const = 0;
    // Its width in characters now, asked anew each time since the user may resize the window;
    // 80 when the terminal does not tell.
    virtual int columns() const = 0;
};

} // namespace platform
