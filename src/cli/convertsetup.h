#pragma once

#include "cli/convertoptions.h"
#include "core/preferences/programvalues.h"
#include "core/runsetup/runplan.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace cli {

// The exit statuses of a run without a window, besides 128 + the signal that stopped it.
enum ExitStatus { ExitAllComplete = 0, ExitNotAllComplete = 1, ExitUsage = 2 };

// A run without a window, made out of a request, the program's files and the user's
// preferences as the window would make it; the inputs are probed later.
struct ConvertSetup {
    QString encoderPath;
    runsetup::ProfileChoice profile;
    QString outputExtension; // the profile's
    QString outputDirectory;
    runsetup::RunOptions options;
    runsetup::TrackLanguages languages;
    QStringList inputs;                       // absolute paths of files, each once
    QStringList unconfirmedInputs;            // those left out unless their probe finds a stream
    QHash<QString, QString> outputSubfolders; // by input, the folder below outputDirectory it goes to
    bool skipExisting = false;
    bool failOnLowSpace = false;
    std::optional<QString> start;
    std::optional<QString> end;
};

struct SetupOutcome {
    std::optional<ConvertSetup> setup; // nothing when the request cannot be carried out
    QString error;
    QStringList leftOut; // sentences on the files of the folders that are left out
};

// The names of the window's profile list, in its order.
QStringList profileNames(const preferences::FileLocations &locations);

// Reads nothing but the preferences, the profiles and the inputs' folders; writes nothing, except
// that a shared program directory's default output folder is made as the window makes it.
SetupOutcome prepareConversion(const preferences::ProgramValues &values, const ConvertRequest &request);

} // namespace cli
