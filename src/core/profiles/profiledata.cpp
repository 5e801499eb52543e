#include "profiledata.h"
#include "profilereading.h"
#include "splitlist.h"

#include <inifile.h>

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
