// The main window's profile list and the loading of the chosen profile.
#include "core/profiles/profilefolders.h"
#include "core/profiles/profilelist.h"
#include "gui/grids/profilegrids.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/profilecontrol.h"

#include <QComboBox>
#include <QFileInfo>

namespace mainform {

ProfileControl::ProfileControl(TMainForm &form, platform::Dialogs &dialogs) : m_form(form), m_dialogs(dialogs)
{}

void ProfileControl::listProfiles(const preferences::FileLocations &locations)
{
    m_profiles = profiles::ListProfiles(locations.shippedProfilesDirectory, locations.userProfilesDirectory);
    m_form.cmbProfile->addItems(profiles::ProfileNames(m_profiles));
    m_form.cmbProfile->setCurrentIndex(-1);
}

QString ProfileControl::profilePathOf(int position) const
{
    return profiles::ProfilePathAt(m_profiles, position);
}

void ProfileControl::replaceProfileFile(const QString &path)
{
    profiles::ReplaceProfileFile(m_profiles, path);
}

grids::ProfileGrids ProfileControl::parameterGrids() const
{
    return {m_form.vleVideo, m_form.vleAudio, m_form.vleAdvanced};
}

bool ProfileControl::loadProfile(int position)
{
    const QString path = profilePathOf(position);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    const auto extension = grids::LoadProfile(path, parameterGrids(), m_dialogs, &m_form);
    if (!extension)
        return false;
    m_outputExtension = *extension;
    m_profileExtensions.insert(*extension);
    return true;
}

const QString &TMainForm::outputExtension() const
{
    return m_profileControl->outputExtension();
}

void TMainForm::cmbProfileChange()
{
    if (!runIsIdle() || !m_profileControl->loadProfile(cmbProfile->currentIndex()))
        return;
    widenRightPanelForGrids();
    // The selected task's New Filename shows the extension its output now takes.
    ltvTaskClick();
}

} // namespace mainform
