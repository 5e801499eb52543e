// The main window's profile list and the loading of the chosen profile.
#include "core/profiles/profilelist.h"
#include "gui/grids/profilegrids.h"
#include "gui/mainform/mainform.h"

#include <QComboBox>
#include <QFileInfo>

namespace mainform {

QString TMainForm::profilePathOf(int position) const
{
    return profiles::ProfilePathAt(m_profiles, position);
}

void TMainForm::cmbProfileChange()
{
    if (!runIsIdle())
        return;
    const QString path = profilePathOf(cmbProfile->currentIndex());
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    if (const auto extension = grids::LoadProfile(path, parameterGrids(), m_services.dialogs, this)) {
        m_outputExtension = *extension;
        m_profileExtensions.insert(*extension);
        widenRightPanelForGrids();
        // The selected task's New Filename shows the extension its output now takes.
        ltvTaskClick();
    }
}

} // namespace mainform
