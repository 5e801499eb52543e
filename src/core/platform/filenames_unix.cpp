#include "core/platform/filenames.h"

#include <QFile>

#include <dirent.h>

namespace platform {

QList<QByteArray> undecodableNames(const QString &directory)
{
    QList<QByteArray> names;
    DIR *listing = ::opendir(QFile::encodeName(directory).constData());
    if (!listing)
        return names;
    while (const dirent *entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (QFile::encodeName(QFile::decodeName(name)) != name)
            names << name;
    }
    ::closedir(listing);
    return names;
}

QString escapedName(const QByteArray &name)
{
    QString text;
    qsizetype at = 0;
    while (at < name.size()) {
        // The character from here is the shortest whole UTF-8 sequence, if any.
        qsizetype length = 1;
        while (length <= 4 && !QByteArrayView(name).sliced(at, qMin(length, name.size() - at)).isValidUtf8())
            ++length;
        if (length <= 4 && at + length <= name.size()) {
            text += QString::fromUtf8(name.sliced(at, length));
            at += length;
        } else {
            text += QStringLiteral("\\x%1").arg(uchar(name.at(at)), 2, 16, QLatin1Char('0'));
            ++at;
        }
    }
    return text;
}

} // namespace platform
