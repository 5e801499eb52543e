#include "console.h"

#include <cstdio>
#include <cstdlib>

namespace encoder {
namespace {

void writeLine(std::FILE *stream, std::string_view line)
{
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

void printLine(std::string_view line)
{
    writeLine(stdout, line);
}

void printText(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void printError(std::string_view line)
{
    // A reader merging both streams must see the lines in the order they were written.
    std::fflush(stdout);
    writeLine(stderr, line);
}

void exitAtOnce(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace encoder
