#include "core/profiles/parameterstring.h"

#include "core/profiles/profilereading.h"
#include "core/profiles/splitlist.h"

#include <QFileInfo>

#include <algorithm>

namespace profiles {

namespace {

const QString BareSwitch = QStringLiteral("\\");

// The encoder splits the string at blanks, double quotes grouping and three standing for one.
QString oneArgument(const QString &value)
{
    const bool splits =
        std::any_of(value.begin(), value.end(), [](QChar c) { return c.isSpace() || c == QLatin1Char('"'); });
    if (!splits)
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// What the user typed is one value however many words it holds, or it would pass switches and
// file names of its own; what the profile's author wrote for a choice may pass several.
QString encoderValue(const ProfileParameter &parameter, const ShownValue &shownValue)
{
    switch (parameter.kind()) {
    case ParameterKind::Fixed:
        return parameter.value;
    case ParameterKind::Free:
        return oneArgument(shownValue(parameter.grid, parameter.name));
    case ParameterKind::PickList:
        break;
    }
    const QString shown = shownValue(parameter.grid, parameter.name);
    const qsizetype chosen = IndexOfCaption(parameter.captions(), shown);
    // Not a caption: a custom video size typed into the size dialog.
    return chosen < 0 ? oneArgument(shown) : parameter.values().value(chosen);
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
