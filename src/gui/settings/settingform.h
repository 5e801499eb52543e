#pragma once

#include "core/preferences/filelocations.h"
#include "core/profiles/profilelist.h"
#include "core/runsetup/generalpreferences.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <exception>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace platform {
class Dialogs;
}
namespace preferences {
struct PreferenceKeys;
class TNewInifile;
} // namespace preferences
namespace grids {
class GridSectionStack;
class KeyValueGrid;
} // namespace grids

namespace settings {

// The settings dialog. Its controls are the program's preferences while it runs: the batch run
// and the main window read them directly, whether or not the user confirmed them with OK.
// It is a window of its own rather than a child of the main window, because disabling the main
// window would disable its child windows too.
class TSettingForm : public QDialog {
    Q_OBJECT

public:
    // Loads section "Main" of programDirectory + "Preferences.ini" into the controls. A file that
    // cannot be rewritten then is reported through the default ShowException.
    // profiles: the main window's profile list, copied once.
    TSettingForm(platform::Dialogs &dialogs, const QString &programDirectory, QWidget *mainWindow,
                 QLineEdit *mainOutputDir, const QList<profiles::ProfileEntry> &profiles);

    // Runs after OK has saved the profile shown on the Profiles page into profilePath; the main
    // window reloads its grids from it when it shows the same profile.
    std::function<void(const QString &profileName, const QString &profilePath)> ProfileSaved;

    // Shows an error that ended a handler; by default a message box captioned with the
    // application's name. Handlers throw, but their exceptions are caught where Qt called them:
    // unwinding through Qt's own frames is not supported and skips their clean-up.
    std::function<void(const std::exception &)> ShowException;

    // What the controls say now, for the next run and for storing.
    runsetup::RunOptions runOptions() const;
    runsetup::GeneralPreferences generalPreferences() const;

    QTabWidget *pgcSetting = nullptr;
    QLineEdit *edtOutputDir = nullptr;
    QToolButton *sbtnBrowse = nullptr;
    QComboBox *cmbSyn = nullptr;
    // How many conversions run at once, from 1 to the number of cores.
    QSpinBox *spnJobs = nullptr;
    QComboBox *cmbPriority = nullptr;
    // Ordered language codes of the tracks a run keeps first, "eng,ger".
    QLineEdit *edtAudioLanguages = nullptr;
    QLineEdit *edtSubtitleLanguages = nullptr;
    QCheckBox *chkOpenDir = nullptr;
    QCheckBox *chkExit = nullptr;
    QCheckBox *chkTurnoff = nullptr;
    QGroupBox *gpbOverWrite = nullptr;
    QRadioButton *rdbOverWrite = nullptr;
    QRadioButton *rdbRename = nullptr;
    // Profiles page.
    QComboBox *cmbProfile = nullptr;
    QPushButton *btnSaveAs = nullptr;
    grids::GridSectionStack *profileSections = nullptr;
    grids::KeyValueGrid *vleVideo = nullptr, *vleAudio = nullptr, *vleAdvanced = nullptr;
    QPushButton *btnDefault = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

    void cmbProfileChange();
    void LoadProfile(const QString &profilePath);
    void SaveProfile(const QString &profilePath);
    void SaveProfileAs(const QString &sourcePath, const QString &targetPath);
    // Saves the page's choices into the profile at profilePath, or into the user's own copy of
    // it when it is shipped in a shared program directory; gives back the file written.
    QString SaveShownProfile(const QString &profilePath);
    void btnSaveAsClick();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void createControls();
    void run(void (TSettingForm::*handler)());
    QWidget *createGeneralPage();
    QWidget *createProfilesPage();

    void FormCreate();
    void LoadPreferences();
    void SavePreferences();
    void FormShow();
    void FormClose();
    void btnOKClick();
    void btnCancelClick();
    void btnDefaultClick();
    void sbtnBrowseClick();

    void readGeneralPage(const preferences::TNewInifile &ini, const preferences::PreferenceKeys &keys);
    void showGeneralPreferences(const runsetup::GeneralPreferences &general);
    // False, after saying why, when a language field holds no list of codes.
    bool languagesAccepted();
    QString preferencesPath() const;
    // A path in the shipped profiles folder of a shared program directory becomes the same name
    // in the user's folder; any other path stays.
    QString ownProfilePath(const QString &profilePath) const;

    platform::Dialogs &m_dialogs;
    QString m_programDirectory;
    preferences::FileLocations m_locations;
    QPointer<QWidget> m_mainWindow;
    QPointer<QLineEdit> m_mainOutputDir;
    QList<profiles::ProfileEntry> m_profiles;
    // The file the page's grids were filled from: their choices are saved into no other.
    QString m_loadedProfilePath;
    // The languages last shown or accepted: a run meanwhile never takes half-typed codes.
    QString m_audioLanguages;
    QString m_subtitleLanguages;
};

} // namespace settings
