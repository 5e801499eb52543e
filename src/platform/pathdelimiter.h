#pragma once

#include <QChar>
#include <QString>

namespace platform {

// The one separator every directory path is joined with.
inline constexpr QChar PathDelimiter = QLatin1Char('/');

inline QString pathDelimiterText() { return QString(PathDelimiter); }

} // namespace platform
