#pragma once

#include <QString>
#include <QStringList>

namespace tasks {

// ".avi", ".mpg", ... ".3gp", ".mkv", ... in lower case, in the order the open dialog lists them.
const QStringList &SupportedInputExtensions();
// "*.avi;*.mpg;...;" with the final ";".
QString SupportedFilesMask();

// The name's extension with its ".": from the last "." to the end; empty when the name has no "."
// or a path delimiter or ":" follows the last ".".
QString ExtractFileExt(const QString &name);
// Lower-cases A to Z only, as the extension tests do.
QString asciiLower(const QString &text);

bool HasSupportedExtension(const QString &name);

// Names (without the directory) of the files directly inside directory whose extension, in lower
// case, equals extension in lower case; hidden files count, directories never; unsorted.
QStringList ListFilesWithExtension(const QString &directory, const QString &extension);

// The ordinary files directly inside directory with a supported extension, hidden ones skipped,
// sorted by name without regard to case.
QStringList ListSupportedFiles(const QString &directory);

// The sentences telling of the files directly inside directory with a supported extension whose
// names are no UTF-8: no QString names them, so ListSupportedFiles leaves them out.
QStringList UndecodableFileSentences(const QString &directory);

// Names of the folders directly inside directory, hidden ones skipped, sorted as
// ListSupportedFiles sorts.
QStringList ListSubfolders(const QString &directory);

// Whether a file found in a folder must show a stream in its probe before it becomes a task: a
// ".ts", since TypeScript and Qt translation sources share the extension. Decided by the name
// alone: the file may be a named pipe or on a stalled mount, and only the probe, with its time
// limit, opens it.
bool NeedsStreamCheck(const QString &path);

} // namespace tasks
