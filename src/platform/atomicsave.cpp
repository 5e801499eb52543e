#include "atomicsave.h"

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
    // Writing in place could leave a half-written file behind, which is what this is here to prevent.
    file.setDirectWriteFallback(false);
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
