#pragma once

#include "core/profiles/parametersettings.h"
#include "core/profiles/parameterstring.h"
#include "core/profiles/profilereading.h"

#include <QProcess>
#include <QString>
#include <QStringList>

struct Profile {
    QString name;
    QStringList switches; // as shipped, as the window and the batch mode build them
    QString extension;
};

// A shipped profile with its shown choices, from the program directory's Profiles folder.
inline Profile readProfile(const QString &folder, const QString &name)
{
    const profiles::ProfileData profile = profiles::ReadProfileFile(folder + "/Profiles/" + name + ".vkp");
    const profiles::ParameterSettings shipped(profile);
    return {name, QProcess::splitCommand(profiles::BuildParameterString(profile, shipped.shownValue())),
            profile.outputExtension()};
}
