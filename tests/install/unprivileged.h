#pragma once

#include <QString>

namespace unprivileged {

// True when this process may write into a folder whose write bits are removed (root may).
bool isPrivileged();

// Runs this test executable's function again as the user nobody; true when it passed. Its
// output goes to this test's log.
bool rerunAsNobody(const char *testFunction);

// A copy of the built program directory that nobody may write, in a temporary folder of its own.
QString readOnlyProgramCopy(const QString &parent);

} // namespace unprivileged
