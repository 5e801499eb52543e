#pragma once

#include <QString>

namespace platform {

// Temporary folders named after the process that makes them, "<prefix><number>-<unique ending>"
// in the temporary folder, so that one left by a process killed outright can be found.

// The template for a QTemporaryDir of this process.
QString processFolderTemplate(const QString &prefix);

// Removes the folders of the process with this number, which has ended.
void removeProcessFolders(const QString &prefix, qint64 pid);

// Removes the folders whose process is gone.
void removeOrphanedProcessFolders(const QString &prefix);

} // namespace platform
