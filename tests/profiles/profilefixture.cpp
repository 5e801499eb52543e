#include "profiles/profilefixture.h"

#include <QFile>

bool writeProfileFile(const QString &path, QByteArray text)
{
    text.replace("\n", "\r\n");
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}
