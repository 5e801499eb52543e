// Profile files as users share them, loaded as the main window and a run load them.
#include "core/preferences/newinifile.h"
#include "core/profiles/designedrows.h"
#include "core/profiles/parameterstring.h"
#include "core/profiles/profilecheck.h"
#include "core/profiles/profilereading.h"
#include "core/profiles/splitlist.h"
#include "core/tasks/rtlnumbers.h"
#include "fuzz/fuzzinput.h"

namespace {

using profiles::ProfileData;
using profiles::ProfileParameter;

// What the grids show after a load: the caption at Index for a pick list, the Caption text
// otherwise, and for the "Video Size" row the custom size the size dialog would write.
QString shownAfterLoad(const ProfileData &profile, int grid, const QString &key, const QString &customSize)
{
    for (const ProfileParameter &parameter : profile.parameters) {
        if (parameter.grid != grid || parameter.name.compare(key, Qt::CaseInsensitive) != 0)
            continue;
        if (parameter.kind() != profiles::ParameterKind::PickList)
            return parameter.caption;
        if (!customSize.isEmpty() && parameter.name == profiles::VideoSizeKey)
            return customSize;
        return parameter.captions().value(parameter.index);
    }
    return {};
}

// The size dialog accepts a width and a height that read as integers and writes "WxH".
QString customSizeFrom(const QByteArray &header)
{
    const QList<QByteArray> parts = header.split('x');
    if (parts.size() != 2)
        return {};
    const QString width = QString::fromUtf8(parts.at(0));
    const QString height = QString::fromUtf8(parts.at(1));
    if (!tasks::parseRtlInteger(width) || !tasks::parseRtlInteger(height))
        return {};
    return width + QLatin1Char('x') + height;
}

void checkAccepted(const ProfileData &profile)
{
    for (qsizetype n = 0; n < profile.parameters.size(); ++n) {
        const ProfileParameter &parameter = profile.parameters.at(n);
        fuzz::check(n > 0 || parameter.grid != profiles::NoGrid, "an accepted profile's first row has a grid");
        if (parameter.kind() == profiles::ParameterKind::PickList) {
            fuzz::check(parameter.index >= 0 && parameter.index < parameter.captions().size(),
                        "an accepted pick list shows one of its captions");
            fuzz::check(parameter.values().size() >= parameter.captions().size(),
                        "an accepted pick list has a value for every caption");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first line may hold a custom size "WxH"; the whole input is the profile file all the
    // same, as such a line is just one more line no section owns.
    const QByteArray content = fuzz::bytesOf(data, size);
    const QString customSize = customSizeFrom(fuzz::splitHeader(content).header);
    const QString path = fuzz::writeScratchFile(QStringLiteral("Shared.vkp"), content);

    // Each read opens the file again, so the file is read once here: Start and the grids check
    // and use what this read gives.
    const ProfileData profile = profiles::ReadProfileFile(path);
    fuzz::check(profile.parameters.size() <= qMax(profile.para, 0), "no more rows than Para names");
    const auto problem = profiles::ProfileProblem(profile, path);
    if (problem) {
        fuzz::check(problem->contains(QStringLiteral("Shared.vkp")), "a refusal names the file");
    } else {
        checkAccepted(profile);
        const auto shown = [&](int grid, const QString &key) { return shownAfterLoad(profile, grid, key, customSize); };
        const QString parameters = profiles::BuildParameterString(profile, shown);
        fuzz::check(parameters.isEmpty() || parameters.startsWith(u' '), "parameters begin with a blank");
    }

    // The settings dialog reads the same file through the program's own engine.
    const auto engine = preferences::TNewInifile::Create(path);
    const ProfileData inDialog = profiles::ReadProfile(*engine);
    profiles::ProfileProblem(inDialog, path);
    return 0;
}
