#pragma once

#include <QString>
#include <QStringList>

namespace profiles {

enum class DesignedGrid { Output, Video, Audio, Advanced };

// "Output", "Video", ...: the name its section's header bar shows.
QString GroupName(DesignedGrid grid);

// The keys the grid shows before any profile is loaded.
QStringList DesignedRowKeys(DesignedGrid grid);

// The Video row whose "Custom Size" choice opens the size dialog.
inline const QString VideoSizeKey = QStringLiteral("Video Size");
inline const QString CustomSizeCaption = QStringLiteral("Custom Size");
inline const QString OriginalSizeCaption = QStringLiteral("Original Size");

// The Output rows of a task's own track picks.
inline const QString AudioTrackKey = QStringLiteral("Audio Track");
inline const QString SubtitlesKey = QStringLiteral("Subtitles");

} // namespace profiles
