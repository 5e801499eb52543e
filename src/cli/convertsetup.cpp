#include "cli/convertsetup.h"

#include "cli/convertinputs.h"
#include "core/platform/inifile.h"
#include "core/preferences/preferencekeys.h"
#include "core/profiles/parametersettings.h"
#include "core/profiles/parameterstring.h"
#include "core/profiles/profilecheck.h"
#include "core/profiles/profilefolders.h"
#include "core/profiles/profilereading.h"
#include "core/runsetup/generalpreferences.h"

#include <QFileInfo>

namespace cli {
namespace {

QList<profiles::ProfileEntry> listedProfiles(const preferences::FileLocations &locations)
{
    return profiles::ListProfiles(locations.shippedProfilesDirectory, locations.userProfilesDirectory);
}

QString withProfileNames(const QString &sentence, const QList<profiles::ProfileEntry> &entries)
{
    const QStringList names = profiles::ProfileNames(entries);
    if (names.isEmpty())
        return sentence + QStringLiteral(" There are no profiles.");
    return sentence + QStringLiteral(" The profiles are:\n  ") + names.join(QStringLiteral("\n  "));
}

// The position of the profile in the window's list: the one named, or the one chosen last in
// the window.
std::optional<int> profilePosition(const QList<profiles::ProfileEntry> &entries, const ConvertRequest &request,
                                   int storedPosition, const QString &storedName, QString *error)
{
    if (request.profile) {
        for (int position = 0; position < entries.size(); ++position) {
            if (entries.at(position).name.compare(*request.profile, Qt::CaseInsensitive) == 0)
                return position;
        }
        *error = withProfileNames(QStringLiteral("There is no profile \"%1\".").arg(*request.profile), entries);
        return std::nullopt;
    }
    if (const int stored = profiles::StoredProfilePosition(entries, storedPosition, storedName); stored >= 0)
        return stored;
    *error = withProfileNames(QStringLiteral("No profile is chosen; name one with --profile."), entries);
    return std::nullopt;
}

// The profile as the grids would show it after the request's settings.
std::optional<runsetup::ProfileChoice> profileChoice(const profiles::ProfileData &profile,
                                                     const ConvertRequest &request, QString *error)
{
    profiles::ParameterSettings settings(profile);
    for (const auto &[key, choice] : request.settings) {
        if (const auto refusal = settings.set(key, choice)) {
            *error = *refusal;
            return std::nullopt;
        }
    }
    return runsetup::ProfileChoice{profile, settings.shownValue(), {}};
}

} // namespace

QStringList profileNames(const preferences::FileLocations &locations)
{
    return profiles::ProfileNames(listedProfiles(locations));
}

SetupOutcome prepareConversion(const preferences::ProgramValues &values, const ConvertRequest &request)
{
    SetupOutcome outcome;
    const platform::IniFile preferences(preferences::readablePreferencesPath(values.locations));
    const preferences::PreferenceKeys keys = preferences::mainKeys(values.locations.defaultOutputDirectory);
    const runsetup::GeneralPreferences general = runsetup::readGeneralPreferences(preferences, keys);
    ConvertSetup setup;
    setup.encoderPath = values.encoderPath;
    setup.start = request.start;
    setup.end = request.end;
    // What the window last used, unless the command line says otherwise; the completion actions
    // are the window's alone.
    setup.options.renameExisting = request.renameExisting.value_or(general.run.renameExisting);
    setup.options.jobs = request.jobs.value_or(runsetup::usableJobs(general.run.jobs));
    setup.options.priority = request.priority.value_or(general.run.priority);
    setup.skipExisting = request.skipExisting;
    setup.failOnLowSpace = request.failOnLowSpace;
    setup.languages = {request.audioLanguages.value_or(general.audioLanguages),
                       request.subtitleLanguages.value_or(general.subtitleLanguages)};

    const QList<profiles::ProfileEntry> entries = listedProfiles(values.locations);
    const auto position = profilePosition(entries, request, keys.profile.readFrom(preferences),
                                          keys.profileName.readFrom(preferences), &outcome.error);
    if (!position)
        return outcome;
    const QString profilePath = entries.at(*position).path;
    // A damaged profile is refused before anything runs, as the window's Start refuses it.
    if (const auto problem = profiles::ProfileFileProblem(profilePath)) {
        outcome.error = *problem;
        return outcome;
    }
    const profiles::ProfileData profile = profiles::ReadProfileFile(profilePath);
    const auto choice = profileChoice(profile, request, &outcome.error);
    if (!choice)
        return outcome;
    setup.profile = *choice;
    setup.outputExtension = profile.outputExtension();

    // The stored folder only when none is given: making it usable may create the default one.
    const QString output = request.outputDirectory
                               ? *request.outputDirectory
                               : preferences::usableOutputDirectory(values.locations, general.outputPath);
    if (!QFileInfo(output).isDir()) {
        outcome.error = QStringLiteral("The output folder \"%1\" does not exist.").arg(output);
        return outcome;
    }
    setup.outputDirectory = QFileInfo(output).absoluteFilePath();

    const InputFiles inputs = collectInputFiles(request.inputs, request.recursive, setup.outputDirectory);
    if (!inputs.missing.isEmpty()) {
        QStringList sentences;
        for (const QString &missing : inputs.missing)
            sentences << QStringLiteral("The input \"%1\" does not exist.").arg(missing);
        outcome.error = sentences.join(QLatin1Char('\n'));
        return outcome;
    }
    outcome.leftOut = inputs.leftOut;
    if (inputs.files.isEmpty()) {
        outcome.error = QStringLiteral("The folders given hold no video file to convert.");
        return outcome;
    }
    setup.inputs = inputs.files;
    setup.unconfirmedInputs = inputs.unconfirmed;
    setup.outputSubfolders = inputs.subfolders;
    outcome.setup = setup;
    return outcome;
}

} // namespace cli
