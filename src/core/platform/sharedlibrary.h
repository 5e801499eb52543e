#pragma once

#include <string>

namespace platform {

// A shared library loaded by its file name ("libavformat.so.59") and left loaded for the rest
// of the process; nullptr with the reason in error when it cannot be.
void *loadLibrary(const std::string &fileName, std::string *error);

// The address of the symbol in a library loadLibrary gave; nullptr with the reason in error.
void *librarySymbol(void *library, const char *name, std::string *error);

} // namespace platform
