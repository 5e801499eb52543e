#pragma once

#include <QString>
#include <QStringList>

namespace conversion {

// What a conversion with these switches writes for this many seconds of its input: the
// video's ceiling or bit rate plus the audio's, or its Target Size for the share of its span.
qint64 projectedOutputBytes(const QString &parameters, double seconds, double span);

// The room a run keeps over what its files still need.
qint64 withSpaceMargin(qint64 needBytes);

// "300 MB", "4.2 GB": free space as a user reads it.
QString spaceText(qint64 bytes);

// Why a run paused itself; the window adds how to go on.
QString lowSpaceText(qint64 freeBytes, const QString &place);
// Why a task failed when the run fails what is left instead.
QString noRoomText(qint64 freeBytes, const QString &place);

} // namespace conversion
