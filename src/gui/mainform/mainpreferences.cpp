// The main window's own preferences: read when it is first shown, stored when it closes.
#include "core/platform/inifile.h"
#include "core/preferences/preferencekeys.h"
#include "core/profiles/profilelist.h"
#include "core/runsetup/generalpreferences.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/profilecontrol.h"
#include "gui/settings/settingform.h"

#include <QComboBox>
#include <QLineEdit>

namespace mainform {

void TMainForm::LoadMainPreferences()
{
    const platform::IniFile ini(m_values.preferencesPath());
    const preferences::PreferenceKeys keys = preferences::mainKeys(m_values.locations.defaultOutputDirectory);
    m_storedOutputPath = keys.outputPath.readFrom(ini);
    edtOutputdir->setText(preferences::usableOutputDirectory(m_values.locations, m_storedOutputPath));
    m_outputPathStandIn = edtOutputdir->text() != m_storedOutputPath ? edtOutputdir->text() : QString();
    if (cmbProfile->count() == 0)
        return;
    cmbProfile->setCurrentIndex(profiles::StoredProfilePosition(
        m_profileControl->profileEntries(), keys.profile.readFrom(ini), keys.profileName.readFrom(ini)));
    cmbProfileChange();
}

bool TMainForm::SaveMainPreferences()
{
    platform::IniFile ini(m_values.preferencesPath());
    const preferences::PreferenceKeys keys = preferences::mainKeys(m_values.locations.defaultOutputDirectory);
    // A folder that stood in for an unplugged disk is not the user's choice: the disk's folder
    // stays stored unless the user chose another.
    const bool standingIn = !m_outputPathStandIn.isEmpty() && edtOutputdir->text() == m_outputPathStandIn;
    runsetup::GeneralPreferences general = SettingForm->generalPreferences();
    general.outputPath = standingIn ? m_storedOutputPath : edtOutputdir->text();
    const bool saved = keys.profile.writeTo(ini, cmbProfile->currentIndex()) &&
                       keys.profileName.writeTo(ini, cmbProfile->currentText()) &&
                       runsetup::writeGeneralPreferences(ini, keys, general);
    if (!saved) {
        m_services.dialogs.messageBox(this, preferences::ProgramName,
                                      QStringLiteral("Your preferences could not be saved to \"%1\": %2")
                                          .arg(m_values.preferencesPath(), ini.errorString()),
                                      platform::MessageIcon::Warning, platform::MessageButton::Ok);
    }
    return saved;
}

} // namespace mainform
