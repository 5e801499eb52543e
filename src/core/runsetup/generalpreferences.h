#pragma once

#include "core/preferences/languagecodes.h"
#include "core/preferences/preferencekeys.h"
#include "core/runsetup/runoptions.h"

#include <QString>

#include <type_traits>

namespace runsetup {

// The settings dialog's general page as Preferences.ini keeps it. The main window stores it on
// close, the settings dialog on OK (each through its own INI engine), the command line reads it.
struct GeneralPreferences {
    QString outputPath;
    int synMode = 0;
    RunOptions run;
    // Ordered ISO 639-2 codes, "eng,ger": the tracks kept first.
    QString audioLanguages;
    QString subtitleLanguages;
};

template <typename Ini>
GeneralPreferences readGeneralPreferences(const Ini &ini, const preferences::PreferenceKeys &keys)
{
    GeneralPreferences general;
    general.outputPath = keys.outputPath.readFrom(ini);
    general.synMode = keys.synMode.readFrom(ini);
    general.run.openFolder = keys.autoOpenDir.readFrom(ini);
    general.run.exitProgram = keys.autoExit.readFrom(ini);
    general.run.turnOffComputer = keys.autoTurnOff.readFrom(ini);
    general.run.renameExisting = !keys.overwrite.readFrom(ini);
    general.run.jobs = keys.jobs.readFrom(ini);
    const int priority = keys.priority.readFrom(ini);
    general.run.priority =
        priority >= int(platform::ProcessPriority::Normal) && priority <= int(platform::ProcessPriority::Idle)
            ? platform::ProcessPriority(priority)
            : platform::ProcessPriority(keys.priority.defaultValue);
    // A list spoiled by hand counts as never chosen.
    general.audioLanguages =
        preferences::languageCodes(keys.audioLanguages.readFrom(ini)).value_or(keys.audioLanguages.defaultValue);
    general.subtitleLanguages =
        preferences::languageCodes(keys.subtitleLanguages.readFrom(ini)).value_or(keys.subtitleLanguages.defaultValue);
    return general;
}

namespace detail {
// platform::IniFile says whether a write worked, preferences::TNewInifile keeps its writes until it is saved.
template <typename Write> bool written(Write &&write)
{
    if constexpr (std::is_void_v<decltype(write())>) {
        write();
        return true;
    } else {
        return bool(write());
    }
}
} // namespace detail

// Stops at the first write that fails; false then.
template <typename Ini>
bool writeGeneralPreferences(Ini &ini, const preferences::PreferenceKeys &keys, const GeneralPreferences &general)
{
    using detail::written;
    return written([&] { return keys.outputPath.writeTo(ini, general.outputPath); }) &&
           written([&] { return keys.synMode.writeTo(ini, general.synMode); }) &&
           written([&] { return keys.autoOpenDir.writeTo(ini, general.run.openFolder); }) &&
           written([&] { return keys.autoExit.writeTo(ini, general.run.exitProgram); }) &&
           written([&] { return keys.autoTurnOff.writeTo(ini, general.run.turnOffComputer); }) &&
           written([&] { return keys.overwrite.writeTo(ini, !general.run.renameExisting); })
           // Files that never chose anything but one job at a time get no key for it.
           && written([&] { return keys.jobs.writeChangeTo(ini, general.run.jobs); }) &&
           written([&] { return keys.priority.writeChangeTo(ini, int(general.run.priority)); })
           // Left to follow the locale until the user chooses other languages.
           && written([&] { return keys.audioLanguages.writeChangeTo(ini, general.audioLanguages); }) &&
           written([&] { return keys.subtitleLanguages.writeChangeTo(ini, general.subtitleLanguages); });
}

} // namespace runsetup
