#pragma once

#include "core/preferences/filelocations.h"
#include "core/profiles/profilelist.h"
#include "gui/grids/profilegrids.h"

#include <QList>
#include <QSet>
#include <QString>

namespace platform {
class Dialogs;
}

namespace mainform {

class TMainForm;

// The main window's profiles: the list behind cmbProfile, and the loading of the chosen one into
// the parameter grids.
class ProfileControl {
public:
    ProfileControl(TMainForm &form, platform::Dialogs &dialogs);

    // Lists the shipped and the user's profiles in cmbProfile, none chosen.
    void listProfiles(const preferences::FileLocations &locations);
    const QList<profiles::ProfileEntry> &profileEntries() const { return m_profiles; }
    QString profilePathOf(int position) const;
    // A profile saved from the settings dialog takes the place of the one of its name.
    void replaceProfileFile(const QString &path);
    // "." and the loaded profile's type; empty until one is loaded.
    const QString &outputExtension() const { return m_outputExtension; }
    // The extension of every profile loaded so far: a task holding one of them took it from a
    // profile, not from the user.
    const QSet<QString> &earlierExtensions() const { return m_profileExtensions; }
    grids::ProfileGrids parameterGrids() const;
    // Loads the profile at position into the grids; false when none was loaded.
    bool loadProfile(int position);

private:
    TMainForm &m_form;
    platform::Dialogs &m_dialogs;
    QList<profiles::ProfileEntry> m_profiles;
    QString m_outputExtension;
    QSet<QString> m_profileExtensions;
};

} // namespace mainform
