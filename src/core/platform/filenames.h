#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// A file name is bytes; Qt reads them as UTF-8, and a name that is not UTF-8 does not come back
// to the same bytes, so such a file cannot be opened through a QString.

// The names in directory that do not, as the system gives them; unsorted.
QList<QByteArray> undecodableNames(const QString &directory);

// The name for the user: its UTF-8 as text, every other byte as \xNN.
QString escapedName(const QByteArray &name);

} // namespace platform
