#pragma once

#include <QString>

#include <type_traits>

namespace preferences {

// One key of one section of Preferences.ini, with its type and what a missing key reads as.
// Ini is preferences::TNewInifile or platform::IniFile: both offer the same Read and Write functions, and
// both must read what the other wrote.
template <typename T> struct Setting {
    static_assert(std::is_same_v<T, QString> || std::is_same_v<T, int> || std::is_same_v<T, bool>);

    QString section;
    QString key;
    T defaultValue;

    template <typename Ini> T readFrom(const Ini &ini) const
    {
        if constexpr (std::is_same_v<T, bool>)
            return ini.ReadBool(section, key, defaultValue);
        else if constexpr (std::is_same_v<T, int>)
            return ini.ReadInteger(section, key, defaultValue);
        else
            return ini.ReadString(section, key, defaultValue);
    }

    // Gives back what the reader's Write function gives (platform::IniFile: whether it worked).
    template <typename Ini> decltype(auto) writeTo(Ini &ini, const T &value) const
    {
        if constexpr (std::is_same_v<T, bool>)
            return ini.WriteBool(section, key, value);
        else if constexpr (std::is_same_v<T, int>)
            return ini.WriteInteger(section, key, value);
        else
            return ini.WriteString(section, key, value);
    }

    // Like writeTo, but leaves the file alone where it already reads as value: a key that came
    // after the others is not added to files that never chose anything but its default.
    template <typename Ini> decltype(auto) writeChangeTo(Ini &ini, const T &value) const
    {
        using Written = decltype(writeTo(ini, value));
        if (readFrom(ini) == value) {
            if constexpr (std::is_void_v<Written>)
                return;
            else
                return Written(true);
        }
        return writeTo(ini, value);
    }
};

// "Profile" and "Syn Mode" are positions in a list, -1 when nothing is selected. "Profile Name"
// names the profile at "Profile" when it was stored: a profile added since moves the others, the
// name does not move. "Jobs" is how many conversions run at once; "Priority" the encoders'
// share of the processor, 0 normal, 1 low (the default) or 2 idle. "Audio languages" and "Subtitle
// languages" are the ordered codes of the tracks a run keeps first, by default the locale's language.
struct PreferenceKeys {
    Setting<QString> version;
    Setting<QString> outputPath;
    Setting<int> profile;
    Setting<QString> profileName;
    Setting<int> synMode;
    Setting<bool> autoOpenDir;
    Setting<bool> autoExit;
    Setting<bool> autoTurnOff;
    Setting<bool> overwrite;
    Setting<int> jobs;
    Setting<int> priority;
    Setting<QString> audioLanguages;
    Setting<QString> subtitleLanguages;
};

// The preferences in use. A missing "Output Path" means defaultOutputDirectory: the program
// directory, or the user's videos folder when the program directory is shared.
PreferenceKeys mainKeys(const QString &defaultOutputDirectory);
// The factory preferences, which "Load Default" reads; the program never writes them.
PreferenceKeys defaultKeys(const QString &defaultOutputDirectory);

} // namespace preferences
