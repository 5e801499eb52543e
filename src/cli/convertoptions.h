#pragma once

#include "core/platform/processpriority.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace cli {

enum class HeadlessAction { Convert, ListProfiles, Help, Version };

// What the command line asks of a run without a window; what it leaves out comes from the
// user's preferences.
struct ConvertRequest {
    HeadlessAction action = HeadlessAction::Convert;
    std::optional<QString> profile; // a profile's name, any letter case
    std::optional<QString> outputDirectory;
    std::optional<int> jobs; // at least 1; the stored "Jobs" when not given
    std::optional<bool> renameExisting;
    std::optional<platform::ProcessPriority> priority; // the stored "Priority" when not given
    bool recursive = false;      // a folder gives the videos below it too, its tree mirrored in the output
    bool skipExisting = false;   // an input whose output is there already is left out
    bool failOnLowSpace = false; // a full disk fails the files left instead of pausing the run
    QList<std::pair<QString, QString>> settings; // parameter key (its Caption) and choice, in the order given
    std::optional<QString> start;                // time texts
    std::optional<QString> end;
    // Ordered language codes, "eng,ger"; the preferences' when not given.
    std::optional<QString> audioLanguages;
    std::optional<QString> subtitleLanguages;
    bool json = false;
    QStringList inputs; // files and folders, as given
};

struct ParsedCommandLine {
    std::optional<ConvertRequest> request; // nothing after a usage error
    QString error;                         // what is wrong with the command line
    QString helpText;
};

// Whether the arguments (the program's name first) run the program without its window.
bool isHeadlessCommand(const QStringList &arguments);

// Reads the options of a run without a window; arguments begin with the program's name.
// Needs a QCoreApplication, whose name and version the help and the version text show.
ParsedCommandLine parseConvertCommandLine(const QStringList &arguments);

} // namespace cli
