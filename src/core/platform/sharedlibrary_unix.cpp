#include "core/platform/sharedlibrary.h"

#include <dlfcn.h>

namespace platform {

void *loadLibrary(const std::string &fileName, std::string *error)
{
    // Lazily bound: libavcodec brings every codec library FFmpeg was built with, and binding all
    // their symbols at once costs more than the few calls we make.
    void *library = ::dlopen(fileName.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!library) {
        const char *why = ::dlerror();
        *error = why ? why : "Cannot load " + fileName;
    }
    return library;
}

void *librarySymbol(void *library, const char *name, std::string *error)
{
    ::dlerror();
    void *symbol = ::dlsym(library, name);
    if (!symbol) {
        const char *why = ::dlerror();
        *error = why ? why : std::string("Cannot resolve ") + name;
    }
    return symbol;
}

} // namespace platform
