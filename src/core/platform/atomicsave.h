#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Replaces the file at path with content so that readers see either the old file or the new
// one, never a part. On failure the old file is left as it was and errorString (when given)
// gets the system's reason. Only a writable file in a folder where no temporary file can be made
// is written in place instead.
bool saveFileAtomically(const QString &path, const QByteArray &content, QString *errorString);

} // namespace platform
