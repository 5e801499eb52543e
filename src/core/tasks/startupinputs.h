#pragma once

#include <QStringList>

namespace tasks {

// The input paths named on the command line: the arguments themselves, or, when the first one is
// a ".tmp" file in any letter case, that file's lines, each made absolute against the working
// folder. A list file that cannot be read names none.
QStringList startupInputPaths(const QStringList &arguments);

} // namespace tasks
