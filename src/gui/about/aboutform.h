#pragma once

#include "core/preferences/programvalues.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace platform {
class Desktop;
}

namespace about {

// The about box: shown without a modal loop, the main window disabled while it shows.
class TAboutForm : public QDialog {
    Q_OBJECT

public:
    TAboutForm(platform::Desktop &desktop, const preferences::ProgramValues &values, QWidget *mainWindow);

    QLabel *labProgramName = nullptr, *labVersion = nullptr, *labNotice = nullptr, *labWebsite = nullptr,
           *labMore = nullptr;
    QList<QLabel *> productLinks; // Label8, Label9, Label10
    QPushButton *btnTech = nullptr, *btnSales = nullptr, *btnOK = nullptr;

    void btnOKClick();
    void labWebsiteClick();
    void labMoreClick();
    void btnTechClick();
    void btnSalesClick();
    void productLinkClick(int product);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void FormCreate(const preferences::ProgramValues &values);
    QLabel *link(const QString &caption, int left, int top);

    platform::Desktop &m_desktop;
    QWidget *m_mainWindow;
};

} // namespace about
