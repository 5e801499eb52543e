#pragma once

#include <string_view>

// The window reads our merged output in chunks while we run, so every line is flushed at once.
namespace console {

void printLine(std::string_view line);
void printError(std::string_view line);

} // namespace console
