#pragma once

#include "core/protocol/partialoutput.h"

#include <QFile>
#include <QString>

namespace protocol {

// Both sides of the process name the file the same way, by its bytes on disk.
inline QString partialOutputPath(const QString &output)
{
    return QFile::decodeName(QByteArray::fromStdString(partialOutputPath(QFile::encodeName(output).toStdString())));
}

} // namespace protocol
