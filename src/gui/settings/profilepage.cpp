// The settings dialog's Profiles page: a profile's choices loaded into the page's grids and
// saved into the profile or into a copy of it.
#include "core/platform/atomicsave.h"
#include "core/platform/desktopapi.h"
#include "core/preferences/efcreateerror.h"
#include "core/preferences/newinifile.h"
#include "core/preferences/programvalues.h"
#include "core/profiles/profilefolders.h"
#include "core/profiles/profilereading.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/grids/profilegrids.h"
#include "gui/settings/settingform.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace settings {

namespace {

int captionPosition(const QStringList &captions, const QString &value)
{
    for (int position = 0; position < captions.size(); ++position) {
        if (captions.at(position).compare(value, Qt::CaseInsensitive) == 0)
            return position;
    }
    return -1;
}

bool sameDirectory(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

} // namespace

void TSettingForm::cmbProfileChange()
{
    const QString path = profiles::ProfilePathAt(m_profiles, cmbProfile->currentIndex());
    if (!path.isEmpty() && QFileInfo(path).isFile())
        LoadProfile(path);
}

void TSettingForm::LoadProfile(const QString &profilePath)
{
    auto ini = preferences::TNewInifile::Create(profilePath);
    const profiles::ProfileData profile = profiles::ReadProfile(*ini);
    if (grids::LoadReadProfile(profile, profilePath, {vleVideo, vleAudio, vleAdvanced}, m_dialogs, this))
        m_loadedProfilePath = profilePath;
    // The engine rewrites what it read on release; a file that cannot be rewritten is reported
    // once the page shows its profile.
    preferences::TNewInifile::SaveAndFree(std::move(ini));
}

void TSettingForm::SaveProfile(const QString &profilePath)
{
    const grids::ProfileGrids grids{vleVideo, vleAudio, vleAdvanced};
    const QString &main = profiles::MainSection;
    auto ini = preferences::TNewInifile::Create(profilePath);
    const int para = ini->ReadInteger(main, QStringLiteral("Para"), 0);
    grids::KeyValueGrid *grid = nullptr;
    for (int n = 0; n < para; ++n) {
        const QString parameter = ini->ReadString(main, QString::number(n), QString());
        // A parameter without a name has no section to write into, and ends the list for the
        // reader as well.
        if (parameter.isEmpty())
            break;
        const int sort = ini->ReadInteger(parameter, QStringLiteral("Sort"), -1);
        if (ini->ReadBool(parameter, QStringLiteral("ReadOnly"), false))
            continue;
        const bool list = ini->ReadBool(parameter, QStringLiteral("List"), true);
        if (grids::KeyValueGrid *sorted = grids.byNumber(sort))
            grid = sorted;
        const int row = grid ? grid->findRow(parameter) : -1;
        if (row < 0)
            continue;
        const QString value = grid->value(row);
        if (list) {
            ini->WriteInteger(parameter, QStringLiteral("Index"), captionPosition(grid->pickList(row), value));
        } else {
            ini->WriteString(parameter, QStringLiteral("Caption"), value);
            ini->WriteString(parameter, QStringLiteral("Value"), value);
        }
    }
    preferences::TNewInifile::SaveAndFree(std::move(ini));
}

void TSettingForm::SaveProfileAs(const QString &sourcePath, const QString &targetPath)
{
    if (!QFileInfo(sourcePath).isFile())
        return;
    QFile source(sourcePath);
    QString reason;
    bool copied = false;
    if (source.open(QIODevice::ReadOnly)) {
        const QByteArray content = source.readAll();
        if (source.error() != QFileDevice::NoError)
            reason = source.errorString();
        else
            copied = platform::saveFileAtomically(targetPath, content, &reason);
    } else {
        reason = source.errorString();
    }
    // Without the copy the target would get the choices but no parameters to go with them.
    if (!copied)
        throw preferences::EFCreateError(
            QStringLiteral("Cannot copy the profile \"%1\" to \"%2\". %3").arg(sourcePath, targetPath, reason));
    SaveProfile(targetPath);
}

QString TSettingForm::ownProfilePath(const QString &profilePath) const
{
    const QFileInfo file(profilePath);
    if (m_locations.portable || !sameDirectory(file.absolutePath(), m_locations.shippedProfilesDirectory))
        return profilePath;
    return preferences::IncludeTrailingBackslash(m_locations.userProfilesDirectory) + file.fileName();
}

QString TSettingForm::SaveShownProfile(const QString &profilePath)
{
    const QString target = ownProfilePath(profilePath);
    if (target == profilePath) {
        SaveProfile(profilePath);
        return profilePath;
    }
    QDir().mkpath(m_locations.userProfilesDirectory);
    SaveProfileAs(profilePath, target);
    // From now on the page and the lists show the user's copy in the shipped one's place.
    profiles::ReplaceProfileFile(m_profiles, target);
    m_loadedProfilePath = target;
    return target;
}

void TSettingForm::btnSaveAsClick()
{
    // The dialog opens where the profile lists come from: a copy saved anywhere else would never
    // be listed.
    const QString folder = m_locations.writableProfilesDirectory();
    QDir().mkpath(folder);
    const QString chosen =
        m_dialogs.saveFileIn(this, QStringLiteral("Profiles (*.vkp)|*.vkp"), QStringLiteral(".vkp"), folder);
    if (chosen.isEmpty())
        return;
    const QString target = ownProfilePath(chosen);
    const QString source = profiles::ProfilePathAt(m_profiles, cmbProfile->currentIndex());
    if (source.isEmpty())
        return;
    // The page's choices belong to the profile it was filled from, and to no other.
    if (source != m_loadedProfilePath) {
        m_dialogs.messageBox(
            this, QStringLiteral("Save as"),
            QStringLiteral("The profile \"%1\" is not shown on this page, so there are no choices of it "
                           "to save. Choose a profile that loads, then save it.")
                .arg(cmbProfile->currentText()),
            platform::MessageIcon::Information, platform::MessageButton::Ok);
        return;
    }
    SaveProfileAs(source, target);
}

} // namespace settings
