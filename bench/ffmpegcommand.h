#pragma once

#include <QString>
#include <QStringList>

// The FFmpeg command the encoder program runs for a conversion, as it ran it once, so that bare
// FFmpeg does exactly the same work on the other clips of a batch.
struct FfmpegCommand {
    QString program;       // the FFmpeg the encoder found
    QStringList arguments; // as recorded, input and part file included
    qsizetype inputAt = -1;
    QString error; // why there is no command

    bool valid() const { return error.isEmpty(); }
    // The recorded arguments with another input and output in their places.
    QStringList forClip(const QString &input, const QString &output) const;
    // The command on one line, with the input and output as placeholders.
    QString text() const;
};

// Runs `encoder -y -i clip switches output` with a recording stand-in named ffmpeg first on its
// PATH, which notes its arguments and hands over to the real FFmpeg. folder: room for the stand-in.
FfmpegCommand recordFfmpegCommand(const QString &encoder, const QString &clip, const QStringList &switches,
                                  const QString &output, const QString &folder);
