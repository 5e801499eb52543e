#include "gui/settings/settingform.h"

#include "core/platform/desktopapi.h"
#include "core/preferences/efcreateerror.h"
#include "core/preferences/languagecodes.h"
#include "core/preferences/newinifile.h"
#include "core/preferences/preferencekeys.h"
#include "core/preferences/programvalues.h"
#include "core/runsetup/generalpreferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QToolButton>
#include <QWindow>

#include <algorithm>

namespace settings {

TSettingForm::TSettingForm(platform::Dialogs &dialogs, const QString &programDirectory, QWidget *mainWindow,
                           QLineEdit *mainOutputDir, const QList<profiles::ProfileEntry> &profiles)
    : m_dialogs(dialogs)
    , m_programDirectory(preferences::IncludeTrailingBackslash(programDirectory))
    , m_locations(preferences::fileLocationsFor(m_programDirectory))
    , m_mainWindow(mainWindow)
    , m_mainOutputDir(mainOutputDir)
    , m_profiles(profiles)
{
    createControls();
    ShowException = [this](const std::exception &error) {
        QWidget *owner = isVisible() ? this : m_mainWindow.data();
        m_dialogs.messageBox(owner, QCoreApplication::applicationName(), QString::fromUtf8(error.what()),
                             platform::MessageIcon::Error, platform::MessageButton::Ok);
    };
    connect(btnOK, &QPushButton::clicked, this, [this] { run(&TSettingForm::btnOKClick); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { run(&TSettingForm::btnCancelClick); });
    connect(btnDefault, &QPushButton::clicked, this, [this] { run(&TSettingForm::btnDefaultClick); });
    connect(sbtnBrowse, &QToolButton::clicked, this, [this] { run(&TSettingForm::sbtnBrowseClick); });
    connect(cmbProfile, &QComboBox::activated, this, [this] { run(&TSettingForm::cmbProfileChange); });
    connect(btnSaveAs, &QPushButton::clicked, this, [this] { run(&TSettingForm::btnSaveAsClick); });
    // The preferences are read into the controls before the rewrite can fail, so the program can
    // go on with them.
    try {
        FormCreate();
    } catch (const preferences::EFCreateError &error) {
        ShowException(error);
    }
}

void TSettingForm::run(void (TSettingForm::*handler)())
{
    try {
        (this->*handler)();
    } catch (const std::exception &error) {
        if (ShowException)
            ShowException(error);
    }
}

QString TSettingForm::preferencesPath() const
{
    return m_locations.preferencesPath;
}

void TSettingForm::FormCreate()
{
    cmbProfile->addItems(profiles::ProfileNames(m_profiles));
    // No profile is chosen until the page is opened for one, so OK saves none before that.
    cmbProfile->setCurrentIndex(-1);
    LoadPreferences();
}

void TSettingForm::readGeneralPage(const preferences::TNewInifile &ini, const preferences::PreferenceKeys &keys)
{
    showGeneralPreferences(runsetup::readGeneralPreferences(ini, keys));
}

void TSettingForm::showGeneralPreferences(const runsetup::GeneralPreferences &general)
{
    edtOutputDir->setText(general.outputPath);
    cmbSyn->setCurrentIndex(general.synMode >= 0 && general.synMode < cmbSyn->count() ? general.synMode : -1);
    chkOpenDir->setChecked(general.run.openFolder);
    chkExit->setChecked(general.run.exitProgram);
    chkTurnoff->setChecked(general.run.turnOffComputer);
    // Radio buttons of a group cannot be unchecked, only the other one checked.
    (general.run.renameExisting ? rdbRename : rdbOverWrite)->setChecked(true);
    // A file from a computer with more cores asks for more jobs than this one has.
    spnJobs->setValue(std::clamp(general.run.jobs, spnJobs->minimum(), spnJobs->maximum()));
    cmbPriority->setCurrentIndex(int(general.run.priority));
    m_audioLanguages = general.audioLanguages;
    m_subtitleLanguages = general.subtitleLanguages;
    edtAudioLanguages->setText(general.audioLanguages);
    edtSubtitleLanguages->setText(general.subtitleLanguages);
}

bool TSettingForm::languagesAccepted()
{
    const std::pair<QLineEdit *, QString *> fields[] = {{edtAudioLanguages, &m_audioLanguages},
                                                        {edtSubtitleLanguages, &m_subtitleLanguages}};
    for (const auto &[field, accepted] : fields) {
        const std::optional<QString> codes = preferences::languageCodes(field->text());
        if (!codes) {
            pgcSetting->setCurrentIndex(0);
            field->setFocus();
            m_dialogs.messageBox(this, QCoreApplication::applicationName(),
                                 QStringLiteral("%1 must be three-letter language codes separated by commas, "
                                                "such as \"eng,ger\".")
                                     .arg(field->accessibleName()),
                                 platform::MessageIcon::Warning, platform::MessageButton::Ok);
            return false;
        }
        *accepted = *codes;
        field->setText(*codes);
    }
    return true;
}

runsetup::RunOptions TSettingForm::runOptions() const
{
    runsetup::RunOptions options;
    options.renameExisting = rdbRename->isChecked();
    options.jobs = spnJobs->value();
    options.priority = platform::ProcessPriority(cmbPriority->currentIndex());
    options.openFolder = chkOpenDir->isChecked();
    options.exitProgram = chkExit->isChecked();
    options.turnOffComputer = chkTurnoff->isChecked();
    return options;
}

runsetup::GeneralPreferences TSettingForm::generalPreferences() const
{
    return {edtOutputDir->text(), cmbSyn->currentIndex(), runOptions(), m_audioLanguages, m_subtitleLanguages};
}

void TSettingForm::LoadPreferences()
{
    auto ini = preferences::TNewInifile::Create(preferencesPath());
    readGeneralPage(*ini, preferences::mainKeys(m_locations.defaultOutputDirectory));
    preferences::TNewInifile::SaveAndFree(std::move(ini));
}

void TSettingForm::SavePreferences()
{
    const preferences::PreferenceKeys keys = preferences::mainKeys(m_locations.defaultOutputDirectory);
    auto ini = preferences::TNewInifile::Create(preferencesPath());
    runsetup::writeGeneralPreferences(*ini, keys, generalPreferences());
    preferences::TNewInifile::SaveAndFree(std::move(ini));
}

void TSettingForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TSettingForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormClose();
}

void TSettingForm::FormShow()
{
    if (m_mainWindow) {
        // Keeps the dialog above the main window without making it the main window's child.
        if (QWindow *window = windowHandle())
            window->setTransientParent(m_mainWindow->window()->windowHandle());
        move(m_mainWindow->frameGeometry().center() - rect().center());
        m_mainWindow->setEnabled(false);
    }
    if (m_mainOutputDir)
        edtOutputDir->setText(m_mainOutputDir->text());
}

void TSettingForm::FormClose()
{
    if (m_mainWindow)
        m_mainWindow->setEnabled(true);
}

void TSettingForm::btnOKClick()
{
    if (!languagesAccepted())
        return;
    if (m_mainOutputDir)
        m_mainOutputDir->setText(edtOutputDir->text());
    SavePreferences();
    const QString profilePath = profiles::ProfilePathAt(m_profiles, cmbProfile->currentIndex());
    if (!profilePath.isEmpty() && profilePath == m_loadedProfilePath && QFileInfo(profilePath).isFile()) {
        const QString savedPath = SaveShownProfile(profilePath);
        if (ProfileSaved)
            ProfileSaved(cmbProfile->currentText(), savedPath);
    }
    close();
}

void TSettingForm::btnCancelClick()
{
    close();
}

void TSettingForm::btnDefaultClick()
{
    if (m_dialogs.messageBox(
            this, QStringLiteral("Load Default"), QStringLiteral("Are you sure to load the default preferences?"),
            platform::MessageIcon::Question,
            platform::MessageButton::Yes | platform::MessageButton::No) != platform::MessageButton::Yes)
        return;
    auto ini = preferences::TNewInifile::Create(preferencesPath());
    readGeneralPage(*ini, preferences::defaultKeys(m_locations.defaultOutputDirectory));
    preferences::TNewInifile::SaveAndFree(std::move(ini));
    edtOutputDir->setText(preferences::usableOutputDirectory(m_locations, edtOutputDir->text()));
}

void TSettingForm::sbtnBrowseClick()
{
    QString folder;
    if (m_dialogs.selectDirectory(this, QStringLiteral("Select the output directory."), QString(), folder))
        edtOutputDir->setText(preferences::IncludeTrailingBackslash(folder));
}

} // namespace settings
