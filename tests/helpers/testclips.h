#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace testclips {

// Generates an MPEG-4 / MP3 clip with FFmpeg's test sources, a counting picture and a tone of the
// same length, made once for the whole suite and copied to path. False when FFmpeg is missing or
// fails.
bool makeClip(const QString &path, double seconds);

// Runs FFmpeg on the arguments after "-nostdin -v error -y", for a clip of other sources, codecs
// or containers. False when FFmpeg is missing, fails or takes more than a minute. A clip of
// FFmpeg's test sources alone, written to the path given last, is made once for the whole suite
// too.
bool makeClip(const QStringList &ffmpegArguments);

// A named pipe at path, made by the system's own program. Opened for reading, it gives nothing
// until a writer comes, as a file on a stalled mount does.
bool makeNamedPipe(const QString &path);

// A copy of source in folder under name, bytes that need not be UTF-8, which no QString can
// name: the system's own shell makes it.
bool copyUnderRawName(const QString &source, const QString &folder, const QByteArray &name);

// Removes folder with all it holds, names that are no UTF-8 too, which Qt cannot remove.
bool removeTree(const QString &folder);

// While it lives, every reader that opens the pipe finds it empty: a process of its own opens
// it for writing and closes it again, over and over.
class EmptyPipeWriter {
public:
    explicit EmptyPipeWriter(const QString &pipe);
    ~EmptyPipeWriter();

private:
    QProcess m_writer;
};

} // namespace testclips
