#include "parameterstring.h"

#include "profilereading.h"
#include "splitlist.h"

#include <QFileInfo>

namespace profiles {

namespace {

const QString BareSwitch = QStringLiteral("\\");

QString encoderValue(const ProfileParameter &parameter, const ShownValue &shownValue)
{
    switch (parameter.kind()) {
    case ParameterKind::Fixed:
        return parameter.value;
    case ParameterKind::Free:
        return shownValue(parameter.grid, parameter.name);
    case ParameterKind::PickList:
        break;
    }
    const QString shown = shownValue(parameter.grid, parameter.name);
    const qsizetype chosen = IndexOfCaption(parameter.captions(), shown);
    // Not a caption: a custom video size typed into the size dialog.
    return chosen < 0 ? shown : parameter.values().value(chosen);
}

} // namespace

QString BuildParameterString(const ProfileData &profile, const ShownValue &shownValue)
{
    QString result;
    for (const ProfileParameter &parameter : profile.parameters) {
        QString value = encoderValue(parameter, shownValue);
        if (parameter.cmd.isEmpty() || value.isEmpty())
            continue;
        if (value == BareSwitch)
            value.clear();
        result += QLatin1Char(' ') + parameter.cmd + QLatin1Char(' ') + value;
    }
    return result;
}

QString BuildParameterString(const QString &profilePath, const ShownValue &shownValue)
{
    if (!QFileInfo(profilePath).isFile())
        return QString();
    return BuildParameterString(ReadProfileFile(profilePath), shownValue);
}

} // namespace profiles
