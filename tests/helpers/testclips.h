#pragma once

#include <QString>

namespace testclips {

// Generates an MPEG-4 / MP3 clip with FFmpeg's test sources, a counting picture and a tone of the
// same length. False when FFmpeg is missing or fails.
bool makeClip(const QString &path, double seconds);

} // namespace testclips
