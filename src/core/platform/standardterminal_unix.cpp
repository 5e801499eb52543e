#include "core/platform/standardterminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {
namespace {
constexpr int UnknownWidth = 80;
}

bool StandardOutputTerminal::isTerminal() const
{
    return ::isatty(STDOUT_FILENO) == 1;
}

int StandardOutputTerminal::columns() const
{
    winsize size{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
        return UnknownWidth;
    return size.ws_col;
}

} // namespace platform
