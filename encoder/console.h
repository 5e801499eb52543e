#pragma once

#include <string_view>

// The window reads our merged output in chunks while we run, so every line is flushed at once.
namespace encoder {

void printLine(std::string_view line);
// Exactly these bytes on standard output, without a line end of its own.
void printText(std::string_view text);
void printError(std::string_view line);

} // namespace encoder
