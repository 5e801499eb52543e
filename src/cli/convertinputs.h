#pragma once

#include <mediaprobe.h>
#include <taskrecord.h>

#include <QString>
#include <QStringList>

#include <optional>

namespace app {

struct InputFiles {
    QStringList files;   // absolute paths, each once, in the order given
    QStringList missing; // inputs as given that do not exist
    // Files of a folder that are inputs only if their probe finds a stream.
    QStringList unconfirmed;
};

// A folder adds its videos as the window's Add Directory does, a file itself whatever its name.
InputFiles collectInputFiles(const QStringList &given);

// The task of one input from its probe, named as the window adds it, converting from start to
// end when they are given: the reason instead when they would leave nothing of it to convert.
std::optional<QString> taskFromProbe(const QString &path, const tasks::ProbeResults &probe,
                                     const QString &outputExtension, const std::optional<QString> &start,
                                     const std::optional<QString> &end, ltvItemData &task);

} // namespace app
