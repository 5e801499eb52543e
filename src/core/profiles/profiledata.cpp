#include "core/profiles/profiledata.h"

#include "core/platform/inifile.h"
#include "core/profiles/profilereading.h"
#include "core/profiles/splitlist.h"

namespace profiles {

ParameterKind ProfileParameter::kind() const
{
    if (list)
        return ParameterKind::PickList;
    return readOnly ? ParameterKind::Fixed : ParameterKind::Free;
}

QStringList ProfileParameter::captions() const
{
    return SplitList(caption);
}

QStringList ProfileParameter::values() const
{
    return SplitList(value);
}

ProfileData ReadProfileFile(const QString &profilePath)
{
    const platform::IniFile file(profilePath);
    return ReadProfile(file);
}

} // namespace profiles
