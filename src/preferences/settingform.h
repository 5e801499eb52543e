#pragma once

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
class QTabWidget;
class QToolButton;
class TNewInifile;

namespace platform {
class Dialogs;
}
namespace preferences {
struct PreferenceKeys;
}

// The settings dialog. Its controls are the program's preferences while it runs: the batch run
// and the main window read them directly, whether or not the user confirmed them with OK.
// It is a window of its own rather than a child of the main window, because disabling the main
// window would disable its child windows too.
class TSettingForm : public QDialog {
    Q_OBJECT

public:
    // Loads section "Main" of programDirectory + "Preferences.ini" into the controls. A file that
    // cannot be rewritten then is reported through the default ShowException.
    TSettingForm(platform::Dialogs &dialogs, const QString &programDirectory, QWidget *mainWindow,
                 QLineEdit *mainOutputDir, const QStringList &profileNames);

    // Step 3 of OK: runs after the preferences are saved, before the dialog closes; not when
    // saving failed. An exception from it keeps the dialog open, too.
    std::function<void()> SaveShownProfile;

    // Shows an error that ended a handler; by default a message box captioned with the
    // application's name. Handlers throw, but their exceptions are caught where Qt called them:
    // unwinding through Qt's own frames is not supported and skips their clean-up.
    std::function<void(const std::exception &)> ShowException;

    QTabWidget *pgcSetting = nullptr;
    QLineEdit *edtOutputDir = nullptr;
    QToolButton *sbtnBrowse = nullptr;
    QComboBox *cmbSyn = nullptr;
    QCheckBox *chkOpenDir = nullptr;
    QCheckBox *chkExit = nullptr;
    QCheckBox *chkTurnoff = nullptr;
    QGroupBox *gpbOverWrite = nullptr;
    QRadioButton *rdbOverWrite = nullptr;
    QRadioButton *rdbRename = nullptr;
    QComboBox *cmbProfile = nullptr;
    QPushButton *btnDefault = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void createControls();
    void run(void (TSettingForm::*handler)());
    QWidget *createGeneralPage();
    QWidget *createProfilesPage();

    void FormCreate(const QStringList &profileNames);
    void LoadPreferences();
    void SavePreferences();
    void FormShow();
    void FormClose();
    void btnOKClick();
    void btnCancelClick();
    void btnDefaultClick();
    void sbtnBrowseClick();

    void readGeneralPage(const TNewInifile &ini, const preferences::PreferenceKeys &keys);
    QString preferencesPath() const;

    platform::Dialogs &m_dialogs;
    QString m_programDirectory;
    QPointer<QWidget> m_mainWindow;
    QPointer<QLineEdit> m_mainOutputDir;
};
