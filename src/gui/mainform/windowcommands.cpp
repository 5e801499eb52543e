// The commands that lead out of the main window: settings, about box, help, the start panel link.
#include "gui/about/aboutform.h"
#include "gui/mainform/mainform.h"
#include "gui/settings/settingform.h"
#include "gui/widgets/publisher.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

namespace mainform {

namespace {
const QColor LinkColour(27, 95, 252);
const QColor PressedLinkColour(128, 165, 253);

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}
} // namespace

void TMainForm::tbtnSettingClick()
{
    if (!runIsIdle())
        return;
    SettingForm->show();
    SettingForm->pgcSetting->setCurrentIndex(0);
}

void TMainForm::bbtnSettingClick()
{
    if (!runIsIdle())
        return;
    SettingForm->show();
    SettingForm->pgcSetting->setCurrentIndex(1);
    SettingForm->cmbProfile->setCurrentIndex(cmbProfile->currentIndex());
    SettingForm->cmbProfileChange();
}

void TMainForm::tbtnAboutClick()
{
    AboutForm->show();
}

void TMainForm::tbtnHelpClick()
{
    OpenWithDesktop(m_values.helpFilePath());
}

void TMainForm::labLinkMouseDown()
{
    setTextColour(labLink, PressedLinkColour);
}

void TMainForm::labLinkMouseUp()
{
    setTextColour(labLink, LinkColour);
}

void TMainForm::labLinkClick()
{
    OpenWithDesktop(widgets::WebAddress);
}

void TMainForm::OpenWithDesktop(const QString &target)
{
    // A desktop without a handler for the kind of target refuses quietly; the user would be left
    // pressing a button that does nothing.
    if (m_services.desktop.open(target))
        return;
    m_services.dialogs.messageBox(this, preferences::ProgramName,
                                  QStringLiteral("No program was found to open \"%1\".").arg(target),
                                  platform::MessageIcon::Warning, platform::MessageButton::Ok);
}

} // namespace mainform
