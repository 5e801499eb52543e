#pragma once

#include "core/profiles/profiledata.h"

#include <concepts>

namespace profiles {

// The main window reads profiles with the platform's INI reader and the settings dialog with
// the program's own engine; both offer these three calls.
template <class Reader>
concept ProfileReader = requires(Reader &reader, const QString &name, int number, bool flag)
{
    {
        reader.ReadString(name, name, name)
        } -> std::convertible_to<QString>;
    {
        reader.ReadInteger(name, name, number)
        } -> std::convertible_to<int>;
    {
        reader.ReadBool(name, name, flag)
        } -> std::convertible_to<bool>;
};

template <ProfileReader Reader> ProfileData ReadProfile(Reader &reader)
{
    ProfileData profile;
    profile.type = reader.ReadString(MainSection, QStringLiteral("Type"), DefaultProfileType);
    profile.para = reader.ReadInteger(MainSection, QStringLiteral("Para"), 0);
    int grid = NoGrid;
    for (int n = 0; n < profile.para; ++n) {
        ProfileParameter parameter;
        parameter.name = reader.ReadString(MainSection, QString::number(n), QString());
        // A section without a name cannot be read, so an empty name counts as a missing key;
        // stopping here also keeps a huge "Para" from reading on for ever.
        if (parameter.name.isEmpty())
            break;
        const QString &section = parameter.name;
        parameter.sort = reader.ReadInteger(section, QStringLiteral("Sort"), -1);
        if (parameter.sort >= VideoGrid && parameter.sort <= AdvancedGrid)
            grid = parameter.sort;
        parameter.grid = grid;
        parameter.readOnly = reader.ReadBool(section, QStringLiteral("ReadOnly"), false);
        parameter.cmd = reader.ReadString(section, QStringLiteral("cmd"), QString());
        parameter.list = reader.ReadBool(section, QStringLiteral("List"), true);
        parameter.caption = reader.ReadString(section, QStringLiteral("Caption"), QString());
        parameter.value = reader.ReadString(section, QStringLiteral("Value"), QString());
        parameter.index = reader.ReadInteger(section, QStringLiteral("Index"), 0);
        profile.parameters.append(parameter);
    }
    return profile;
}

// Through the platform's INI reader, as the main window and the start of a run read profiles.
ProfileData ReadProfileFile(const QString &profilePath);

} // namespace profiles
