#include "gui/grids/sizeform.h"

#include "core/platform/desktopapi.h"
#include "core/profiles/designedrows.h"
#include "core/tasks/rtlnumbers.h"
#include "gui/grids/keyvaluegrid.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace grids {

using profiles::CustomSizeCaption;
using profiles::OriginalSizeCaption;
using profiles::VideoSizeKey;

namespace {

constexpr QSize ClientSize(336, 106);

QPushButton *namedButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setAccessibleName(name);
    return button;
}

QLineEdit *namedEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setAccessibleName(name);
    return edit;
}

} // namespace

TSizeForm::TSizeForm(QWidget *mainWindow, grids::KeyValueGrid *videoGrid, platform::Dialogs &dialogs)
    : QDialog(mainWindow)
    , edtWidth(namedEdit(QStringLiteral("Width"), this))
    , edtHeight(namedEdit(QStringLiteral("Height"), this))
    , btnOK(namedButton(QStringLiteral("&OK"), QStringLiteral("OK"), this))
    , btnCancel(namedButton(QStringLiteral("&Cancel"), QStringLiteral("Cancel"), this))
    , m_mainWindow(mainWindow)
    , m_videoGrid(videoGrid)
    , m_dialogs(dialogs)
{
    const QString title = QStringLiteral("Video Size of output files");
    setWindowTitle(title);
    setAccessibleName(title);
    setFixedSize(ClientSize);

    auto *label1 = new QLabel(QStringLiteral("Width:"), this);
    label1->setBuddy(edtWidth);
    auto *label2 = new QLabel(QStringLiteral("Height:"), this);
    label2->setBuddy(edtHeight);
    btnOK->setDefault(true);

    auto *fields = new QGridLayout;
    fields->addWidget(label1, 0, 0);
    fields->addWidget(edtWidth, 0, 1);
    fields->addWidget(label2, 0, 2);
    fields->addWidget(edtHeight, 0, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &TSizeForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TSizeForm::btnCancelClick);
}

void TSizeForm::btnOKClick()
{
    if (refuseUnless(tasks::parseRtlInteger(edtWidth->text()).has_value(), edtWidth, QStringLiteral("Incorrect Width"),
                     QStringLiteral("Please specify a proper width for output videos.")))
        return;
    if (refuseUnless(tasks::parseRtlInteger(edtHeight->text()).has_value(), edtHeight,
                     QStringLiteral("Incorrect Height"),
                     QStringLiteral("Please specify a proper height for output videos.")))
        return;
    m_videoGrid->SetGridValue(VideoSizeKey, edtWidth->text() + QLatin1Char('x') + edtHeight->text());
    accept();
}

bool TSizeForm::refuseUnless(bool valid, QLineEdit *edit, const QString &caption, const QString &text)
{
    if (valid)
        return false;
    m_dialogs.messageBox(this, caption, text, platform::MessageIcon::Information, platform::MessageButton::Ok);
    edit->setFocus(Qt::OtherFocusReason);
    return true;
}

void TSizeForm::btnCancelClick()
{
    reject();
}

void TSizeForm::done(int result)
{
    if (isVisible())
        FormClose();
    QDialog::done(result);
}

void TSizeForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TSizeForm::FormShow()
{
    m_mainWindow->setEnabled(false);
    // Disabling the main window disables its child windows too, this one included.
    setEnabled(true);
}

void TSizeForm::FormClose()
{
    if (m_videoGrid->valueOf(VideoSizeKey) == CustomSizeCaption)
        m_videoGrid->SetGridValue(VideoSizeKey, OriginalSizeCaption);
    m_mainWindow->setEnabled(true);
}

} // namespace grids
