#include "core/platform/programfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace platform {

QString programFolder()
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

QString runInstead(const QString &program, char *arguments[])
{
    execv(QFile::encodeName(program).constData(), arguments);
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace platform
