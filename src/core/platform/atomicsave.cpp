#include "core/platform/atomicsave.h"

#include <QSaveFile>

namespace platform {
namespace {
bool fail(const QSaveFile &file, QString *errorString)
{
    if (errorString)
        *errorString = file.errorString();
    return false;
}
} // namespace

bool saveFileAtomically(const QString &path, const QByteArray &content, QString *errorString)
{
    QSaveFile file(path);
    // A writable file in a folder that cannot hold the temporary copy is written in place: a save
    // that works beats an error there, although it is no longer all-or-nothing.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file, errorString);
    if (file.write(content) != content.size()) {
        fail(file, errorString);
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return fail(file, errorString);
    return true;
}

} // namespace platform
