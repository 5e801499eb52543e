#include "ffmpeg/ffmpeglocator.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace encoder {

QString locateFfmpeg()
{
    const QFileInfo beside(QCoreApplication::applicationDirPath() + QStringLiteral("/ffmpeg"));
    if (beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
}

} // namespace encoder
