#pragma once

#include <QChar>
#include <QString>

namespace platform {

// The one separator every directory path is joined with.
inline constexpr QChar PathDelimiter = QLatin1Char('/');

inline QString pathDelimiterText()
{
    return QString(PathDelimiter);
}

// The path with the path delimiter at its end; an empty path stays empty, so that a name joined
// to it never turns into a path at the file system's root.
inline QString IncludeTrailingBackslash(const QString &path)
{
    if (path.isEmpty() || path.endsWith(PathDelimiter))
        return path;
    return path + PathDelimiter;
}

} // namespace platform
