#pragma once

#include <QString>

namespace testclips {

// Generates an MPEG-4 / MP3 clip with FFmpeg's test sources, a counting picture and a tone of the
// same length. False when FFmpeg is missing or fails.
bool makeClip(const QString &path, double seconds);

// A named pipe at path, made by the system's own program. Opened for reading, it gives nothing
// until a writer comes, as a file on a stalled mount does.
bool makeNamedPipe(const QString &path);

// Opens the pipe for writing and closes it, in a process of its own, so that a reader waiting
// on it sees an empty input.
void closeWriterOnce(const QString &pipe);

} // namespace testclips
