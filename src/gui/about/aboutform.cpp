#include "gui/about/aboutform.h"

#include "core/platform/desktopapi.h"
#include "gui/widgets/publisher.h"
#include "gui/widgets/toolbaricons.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QWindow>

namespace about {

TAboutForm::TAboutForm(platform::Desktop &desktop, const preferences::ProgramValues &values, QWidget *mainWindow)
    : m_desktop(desktop)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    setAccessibleName(QStringLiteral("About"));
    setFixedSize(503, 290);
    setFont(mainWindow->font());
    FormCreate(values);
}

QLabel *TAboutForm::link(const QString &caption, int left, int top)
{
    auto *label = new QLabel(
        QStringLiteral("<a href=\"#\" style=\"color: rgb(27, 95, 252);\">%1</a>").arg(caption.toHtmlEscaped()), this);
    label->setTextFormat(Qt::RichText);
    label->setCursor(Qt::PointingHandCursor);
    label->move(left, top);
    label->adjustSize();
    return label;
}

void TAboutForm::FormCreate(const preferences::ProgramValues &values)
{
    auto *picture = new QLabel(this);
    picture->setPixmap(widgets::pictureIcon(QStringLiteral("velkor"), 64).pixmap(64, 64));
    picture->setGeometry(24, 24, 64, 64);
    QFont title = font();
    title.setPixelSize(18);
    title.setBold(true);
    labProgramName = new QLabel(preferences::ProgramName, this);
    labProgramName->setFont(title);
    labProgramName->setGeometry(108, 24, 380, 26);
    labVersion = new QLabel(QStringLiteral("Version ") + values.versionText, this);
    labVersion->setGeometry(108, 56, 380, 16);
    labNotice = new QLabel(
        QStringLiteral("Copyright (C) %1 %2. All rights reserved.").arg(widgets::NoticeYears, widgets::PublisherName),
        this);
    labNotice->setGeometry(108, 76, 380, 16);
    labWebsite = link(widgets::WebAddress, 108, 98);
    labWebsite->setObjectName(QStringLiteral("labWebsite"));
    connect(labWebsite, &QLabel::linkActivated, this, &TAboutForm::labWebsiteClick);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setGeometry(0, 170, 503, 4);
    const int lower = 177;
    auto *more = new QLabel(QStringLiteral("More video converting softwares"), this);
    more->move(16, lower + 6);
    more->adjustSize();
    labMore = link(QStringLiteral("(More)"), 16 + more->width() + 6, lower + 6);
    labMore->setObjectName(QStringLiteral("labMore"));
    connect(labMore, &QLabel::linkActivated, this, &TAboutForm::labMoreClick);
    int left = 16;
    for (int product = 0; product < int(std::size(widgets::OtherProducts)); ++product) {
        QLabel *label = link(widgets::OtherProducts[product].name, left, lower + 40);
        label->setObjectName(QStringLiteral("Label%1").arg(8 + product));
        left += label->width() + 24;
        connect(label, &QLabel::linkActivated, this, [this, product] { productLinkClick(product); });
        productLinks << label;
    }
    auto button = [this, lower](const QString &name, const QString &caption, int x) {
        auto *widget = new QPushButton(caption, this);
        widget->setObjectName(name);
        widget->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
        widget->setGeometry(x, lower + 88 - 2, 75, 25);
        return widget;
    };
    btnTech = button(QStringLiteral("btnTech"), QStringLiteral("Tech Support"), 16);
    btnSales = button(QStringLiteral("btnSales"), QStringLiteral("Sales Support"), 104);
    btnOK = button(QStringLiteral("btnOK"), QStringLiteral("&OK"), 408);
    btnOK->setDefault(true);
    connect(btnTech, &QPushButton::clicked, this, &TAboutForm::btnTechClick);
    connect(btnSales, &QPushButton::clicked, this, &TAboutForm::btnSalesClick);
    connect(btnOK, &QPushButton::clicked, this, &TAboutForm::btnOKClick);
}

void TAboutForm::showEvent(QShowEvent *event)
{
    // Owned by the main window, so that it stays above it and goes with it, but not its child:
    // disabling the main window would disable a child as well.
    if (QWindow *window = windowHandle())
        window->setTransientParent(m_mainWindow->window()->windowHandle());
    // Centred over the main window, which takes no input meanwhile.
    move(m_mainWindow->frameGeometry().center() - rect().center());
    if (!event->spontaneous())
        m_mainWindow->setEnabled(false);
    QDialog::showEvent(event);
}

void TAboutForm::hideEvent(QHideEvent *event)
{
    // A minimised box is still open: the main window stays disabled until the box closes.
    if (!event->spontaneous())
        m_mainWindow->setEnabled(true);
    QDialog::hideEvent(event);
}

void TAboutForm::btnOKClick()
{
    close();
}

void TAboutForm::labWebsiteClick()
{
    m_desktop.open(widgets::WebAddress);
}

void TAboutForm::labMoreClick()
{
    m_desktop.open(widgets::WebAddress);
}

void TAboutForm::btnTechClick()
{
    m_desktop.open(QStringLiteral("mailto:") + widgets::TechSupportAddress);
}

void TAboutForm::btnSalesClick()
{
    m_desktop.open(QStringLiteral("mailto:") + widgets::SalesAddress);
}

void TAboutForm::productLinkClick(int product)
{
    m_desktop.open(widgets::OtherProducts[product].webPage);
}

} // namespace about
