#pragma once

#include <QString>

namespace tasks {

// The time text of the start of every input.
inline const QString ZeroTimeText = QStringLiteral("00:00:00.0");

// hh:mm:ss with whole seconds truncated and tenths rounded half to even; tenths that round up
// to ten carry into the seconds.
QString SecondsToTimeText(double seconds);

// Seconds of a time text, or exactly -1 when the text is malformed.
double TimeTextToSeconds(const QString &text);

// The name without its extension: everything before the last ".".
QString StripExtension(const QString &name);

} // namespace tasks
