#include "core/profiles/designedrows.h"

namespace profiles {

QString GroupName(DesignedGrid grid)
{
    switch (grid) {
    case DesignedGrid::Output:
        return QStringLiteral("Output");
    case DesignedGrid::Video:
        return QStringLiteral("Video");
    case DesignedGrid::Audio:
        return QStringLiteral("Audio");
    case DesignedGrid::Advanced:
        return QStringLiteral("Advanced");
    }
    return QString();
}

QStringList DesignedRowKeys(DesignedGrid grid)
{
    switch (grid) {
    case DesignedGrid::Output:
        return {QStringLiteral("New Filename"), QStringLiteral("Start Time"), QStringLiteral("End Time"), AudioTrackKey,
                SubtitlesKey};
    case DesignedGrid::Video:
        return {QStringLiteral("Video Codec"), VideoSizeKey,
                QStringLiteral("Bit Rate"),    QStringLiteral("Frame Rate"),
                QStringLiteral("Aspect"),      QStringLiteral("Disable Video")};
    case DesignedGrid::Audio:
        return {QStringLiteral("Audio Codec"), QStringLiteral("Audio Bitrate"), QStringLiteral("Sample Rate"),
                QStringLiteral("Channels"),    QStringLiteral("Volumn"),        QStringLiteral("Disable Audio")};
    case DesignedGrid::Advanced:
        return {QStringLiteral("Bit Exact Algorithms"), QStringLiteral("Deinterlace")};
    }
    return {};
}

} // namespace profiles
