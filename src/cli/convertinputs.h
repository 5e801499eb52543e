#pragma once

#include "core/conversion/mediaprobe.h"
#include "core/tasks/taskrecord.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace cli {

struct InputFiles {
    QStringList files;   // absolute paths, each once, in the order given
    QStringList missing; // inputs as given that do not exist
    // Files of a folder that are inputs only if their probe finds a stream.
    QStringList unconfirmed;
    // Sentences on the files of a folder that no path can name, left out.
    QStringList leftOut;
    // By file, the folder it was found in relative to the folder given, for a file found below it.
    QHash<QString, QString> subfolders;
};

// A folder adds its videos as the window's Add Directory does, a file itself whatever its name.
// Recursively, a folder adds those of its folders at any depth too, but never those of the
// output folder, which a second run would take for inputs.
InputFiles collectInputFiles(const QStringList &given, bool recursive = false, const QString &outputFolder = {});

// The task of one input from its probe, named as the window adds it, converting from start to
// end when they are given: the reason instead when they would leave nothing of it to convert.
std::optional<QString> taskFromProbe(const QString &path, const conversion::ProbeResults &probe,
                                     const QString &outputExtension, const std::optional<QString> &start,
                                     const std::optional<QString> &end, ltvItemData &task);

} // namespace cli
