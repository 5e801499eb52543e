#include "core/profiles/profilecheck.h"

#include "core/profiles/profilereading.h"

#include <QDir>
#include <QFileInfo>

namespace profiles {

namespace {

QString unusable(const QString &profilePath, const QString &reason)
{
    return QStringLiteral("The profile \"%1\" cannot be used: %2").arg(QDir::toNativeSeparators(profilePath), reason);
}

std::optional<QString> parameterProblem(const ProfileParameter &parameter, bool first)
{
    if (first && parameter.grid == NoGrid) {
        return QStringLiteral("its first parameter \"%1\" has the Sort %2, but only 1 (Video), 2 (Audio) "
                              "and 3 (Advanced) name a grid.")
            .arg(parameter.name)
            .arg(parameter.sort);
    }
    if (parameter.kind() != ParameterKind::PickList)
        return std::nullopt;
    const qsizetype captions = parameter.captions().size();
    if (parameter.index < 0 || parameter.index >= captions) {
        return QStringLiteral("the Index %1 of parameter \"%2\" lies outside its %3 choices.")
            .arg(parameter.index)
            .arg(parameter.name)
            .arg(captions);
    }
    const qsizetype values = parameter.values().size();
    if (values < captions) {
        return QStringLiteral("parameter \"%1\" has %2 choices but only %3 values.")
            .arg(parameter.name)
            .arg(captions)
            .arg(values);
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> ProfileProblem(const ProfileData &profile, const QString &profilePath)
{
    for (qsizetype n = 0; n < profile.parameters.size(); ++n) {
        if (const auto reason = parameterProblem(profile.parameters[n], n == 0))
            return unusable(profilePath, *reason);
    }
    if (profile.parameters.size() < profile.para) {
        return unusable(profilePath,
                        QStringLiteral("its \"Para\" says %1 parameters, but the key \"%2\" of the section "
                                       "\"Main\" naming parameter %2 is missing.")
                            .arg(profile.para)
                            .arg(profile.parameters.size()));
    }
    return std::nullopt;
}

std::optional<QString> ProfileFileProblem(const QString &profilePath)
{
    if (!QFileInfo(profilePath).isFile())
        return std::nullopt;
    return ProfileProblem(ReadProfileFile(profilePath), profilePath);
}

} // namespace profiles
