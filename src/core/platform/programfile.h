#pragma once

#include <QString>

namespace platform {

// The folder this program's file is in, known before any application object exists.
QString programFolder();

// Replaces this process with program, given arguments (its own name first), as the same process:
// its number, its terminal and everything it inherited stay. Returns only when it could not, saying why.
QString runInstead(const QString &program, char *arguments[]);

} // namespace platform
