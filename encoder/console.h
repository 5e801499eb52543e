#pragma once

#include <string_view>

// The window reads our merged output in chunks while we run, so every line is flushed at once.
namespace encoder {

void printLine(std::string_view line);
// Exactly these bytes on standard output, without a line end of its own.
void printText(std::string_view text);
void printError(std::string_view line);

// Ends the process with status once all it wrote is out, without tearing down what the process
// would lose anyway: whoever runs us waits for that to end before it hears our status.
[[noreturn]] void exitAtOnce(int status);

} // namespace encoder
