// Builds the settings dialog's controls.
#include "core/profiles/designedrows.h"
#include "gui/grids/gridsection.h"
#include "gui/grids/gridsectionstack.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/grids/profilegrids.h"
#include "gui/settings/settingform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QThread>
#include <QToolButton>
#include <QVBoxLayout>

namespace settings {

namespace {

QString withoutMnemonic(const QString &caption)
{
    return QString(caption).remove(QLatin1Char('&'));
}

template <typename Button> Button *captioned(QWidget *parent, const QString &name, const QString &caption)
{
    auto *widget = new Button(caption, parent);
    widget->setObjectName(name);
    widget->setAccessibleName(withoutMnemonic(caption).trimmed());
    return widget;
}

// The label names its buddy for screen readers, so it gets no name of its own.
QLabel *labelFor(QWidget *buddy, const QString &caption)
{
    auto *label = new QLabel(caption, buddy->parentWidget());
    label->setBuddy(buddy);
    buddy->setAccessibleName(QString(caption).remove(QLatin1Char(':')));
    return label;
}

QComboBox *dropDownList(QWidget *parent, const QString &name)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(false);
    return combo;
}

} // namespace

void TSettingForm::createControls()
{
    setObjectName(QStringLiteral("SettingForm"));
    setWindowTitle(QStringLiteral("Settings"));
    setAccessibleName(windowTitle());

    pgcSetting = new QTabWidget(this);
    pgcSetting->setObjectName(QStringLiteral("pgcSetting"));
    pgcSetting->setAccessibleName(QStringLiteral("Settings Pages"));
    pgcSetting->addTab(createGeneralPage(), QStringLiteral("     General     "));
    pgcSetting->addTab(createProfilesPage(), QStringLiteral("     Profiles     "));

    btnDefault = captioned<QPushButton>(this, QStringLiteral("btnDefault"), QStringLiteral("&Load Default"));
    btnOK = captioned<QPushButton>(this, QStringLiteral("btnOK"), QStringLiteral("&OK"));
    btnCancel = captioned<QPushButton>(this, QStringLiteral("btnCancel"), QStringLiteral("&Cancel"));
    btnOK->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnDefault);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pgcSetting, 1);
    layout->addLayout(buttons);
    // The designed size, or more where this platform's fonts need it to show every caption whole.
    setFixedSize(QSize(391, 498).expandedTo(minimumSizeHint()));
}

QWidget *TSettingForm::createGeneralPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tbsGeneral"));
    page->setAccessibleName(QStringLiteral("General"));

    edtOutputDir = new QLineEdit(page);
    edtOutputDir->setObjectName(QStringLiteral("edtOutputDir"));
    QLabel *outputLabel = labelFor(edtOutputDir, QStringLiteral("Default Output Path:"));
    sbtnBrowse = new QToolButton(page);
    sbtnBrowse->setObjectName(QStringLiteral("sbtnBrowse"));
    sbtnBrowse->setIcon(style()->standardIcon(QStyle::SP_DirIcon));
    sbtnBrowse->setToolTip(QStringLiteral("Browse for the output directory"));
    sbtnBrowse->setAccessibleName(sbtnBrowse->toolTip());

    cmbSyn = dropDownList(page, QStringLiteral("cmbSyn"));
    cmbSyn->addItems({QStringLiteral("Auto"), QStringLiteral("Force Mode"), QStringLiteral("Progressive Mode")});
    QLabel *synLabel = labelFor(cmbSyn, QStringLiteral("Synchronization Mode:"));

    spnJobs = new QSpinBox(page);
    spnJobs->setObjectName(QStringLiteral("spnJobs"));
    // More encoders than cores would only take turns on them.
    spnJobs->setRange(1, QThread::idealThreadCount());
    spnJobs->setValue(1);
    QLabel *jobsLabel = labelFor(spnJobs, QStringLiteral("Simultaneous conversions:"));
    // Keyboard focus, and with it a screen reader, lands in the spin box's own edit field.
    if (auto *field = spnJobs->findChild<QLineEdit *>())
        field->setAccessibleName(spnJobs->accessibleName());

    // In the order of platform::ProcessPriority.
    cmbPriority = dropDownList(page, QStringLiteral("cmbPriority"));
    cmbPriority->addItems({QStringLiteral("Normal"), QStringLiteral("Low"), QStringLiteral("Idle")});
    cmbPriority->setCurrentIndex(int(platform::ProcessPriority::Low));
    cmbPriority->setToolTip(QStringLiteral("How much of the processor the conversions take from other programs"));
    QLabel *priorityLabel = labelFor(cmbPriority, QStringLiteral("Conversion priority:"));

    edtAudioLanguages = new QLineEdit(page);
    edtAudioLanguages->setObjectName(QStringLiteral("edtAudioLanguages"));
    edtAudioLanguages->setToolTip(QStringLiteral("Language codes in the order preferred, such as eng,ger"));
    QLabel *audioLabel = labelFor(edtAudioLanguages, QStringLiteral("Audio languages:"));
    edtSubtitleLanguages = new QLineEdit(page);
    edtSubtitleLanguages->setObjectName(QStringLiteral("edtSubtitleLanguages"));
    edtSubtitleLanguages->setToolTip(edtAudioLanguages->toolTip());
    QLabel *subtitleLabel = labelFor(edtSubtitleLanguages, QStringLiteral("Subtitle languages:"));

    chkOpenDir = captioned<QCheckBox>(page, QStringLiteral("chkOpenDir"),
                                      QStringLiteral("Open the output directory when the task is completed. "));
    chkExit = captioned<QCheckBox>(page, QStringLiteral("chkExit"),
                                   QStringLiteral("Exit the program when the task is completed."));
    chkTurnoff = captioned<QCheckBox>(page, QStringLiteral("chkTurnoff"),
                                      QStringLiteral("Turn off the computer when the task is completed."));

    gpbOverWrite = new QGroupBox(QStringLiteral("Output File Overwrite"), page);
    gpbOverWrite->setObjectName(QStringLiteral("gpbOverWrite"));
    gpbOverWrite->setAccessibleName(gpbOverWrite->title());
    rdbOverWrite = captioned<QRadioButton>(gpbOverWrite, QStringLiteral("rdbOverWrite"), QStringLiteral("Overwrite"));
    rdbRename = captioned<QRadioButton>(gpbOverWrite, QStringLiteral("rdbRename"),
                                        QStringLiteral("Not overwrite (Rename to <Filename> + Index"));
    rdbOverWrite->setChecked(true);
    auto *overwriteLayout = new QVBoxLayout(gpbOverWrite);
    overwriteLayout->addWidget(rdbOverWrite);
    overwriteLayout->addWidget(rdbRename);

    auto *grid = new QGridLayout;
    grid->addWidget(outputLabel, 0, 0);
    grid->addWidget(edtOutputDir, 0, 1);
    grid->addWidget(sbtnBrowse, 0, 2);
    grid->addWidget(synLabel, 1, 0);
    grid->addWidget(cmbSyn, 1, 1, 1, 2);
    grid->addWidget(jobsLabel, 2, 0);
    grid->addWidget(spnJobs, 2, 1, Qt::AlignLeft);
    grid->addWidget(priorityLabel, 3, 0);
    grid->addWidget(cmbPriority, 3, 1, Qt::AlignLeft);
    grid->addWidget(audioLabel, 4, 0);
    grid->addWidget(edtAudioLanguages, 4, 1, 1, 2);
    grid->addWidget(subtitleLabel, 5, 0);
    grid->addWidget(edtSubtitleLanguages, 5, 1, 1, 2);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addSpacing(8);
    for (QWidget *widget : std::initializer_list<QWidget *>{chkOpenDir, chkExit, chkTurnoff, gpbOverWrite})
        layout->addWidget(widget);
    layout->addStretch();
    return page;
}

QWidget *TSettingForm::createProfilesPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tbsProfiles"));
    page->setAccessibleName(QStringLiteral("Profiles"));

    cmbProfile = dropDownList(page, QStringLiteral("cmbProfile"));
    cmbProfile->setAccessibleName(QStringLiteral("Profile"));
    btnSaveAs = captioned<QPushButton>(page, QStringLiteral("btnSaveAs"), QStringLiteral("&Save as..."));
    auto *profileRow = new QHBoxLayout;
    profileRow->addWidget(cmbProfile, 1);
    profileRow->addWidget(btnSaveAs);

    profileSections = new grids::GridSectionStack(page);
    profileSections->setObjectName(QStringLiteral("sbxProfile"));
    profileSections->setAccessibleName(QStringLiteral("Profile Detail"));
    profileSections->setFrameShape(QFrame::StyledPanel);
    vleVideo = profileSections->addDesignedSection(profiles::DesignedGrid::Video, 160);
    vleAudio = profileSections->addDesignedSection(profiles::DesignedGrid::Audio, 160);
    vleAdvanced = profileSections->addDesignedSection(profiles::DesignedGrid::Advanced, 160);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(profileRow);
    layout->addWidget(profileSections, 1);
    return page;
}

} // namespace settings
