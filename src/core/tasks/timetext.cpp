#include "core/tasks/timetext.h"

#include "core/protocol/durationtext.h"
#include "core/tasks/rtlnumbers.h"

namespace tasks {

QString SecondsToTimeText(double seconds)
{
    return QString::fromStdString(protocol::durationText(seconds));
}

double TimeTextToSeconds(const QString &text)
{
    const qsizetype firstColon = text.indexOf(QLatin1Char(':'));
    if (firstColon < 0)
        return -1;
    const QString rest = text.mid(firstColon + 1);
    const qsizetype secondColon = rest.indexOf(QLatin1Char(':'));
    if (secondColon < 0)
        return -1;
    const QString secondsPart = rest.mid(secondColon + 1);
    const auto hours = parseRtlInteger(text.left(firstColon));
    const auto minutes = parseRtlInteger(rest.left(secondColon));
    if (!hours || !minutes || secondsPart.startsWith(QLatin1Char('.')))
        return -1;
    const auto secs = parseRtlFloat(secondsPart);
    if (!secs)
        return -1;
    return double(qint64(*hours) * 3600 + qint64(*minutes) * 60) + *secs;
}

QString StripExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

} // namespace tasks
