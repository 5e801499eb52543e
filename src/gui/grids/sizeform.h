#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace platform {
class Dialogs;
}

namespace profiles {
class KeyValueGrid;
}

// The custom video size: writes "width x height" as typed into the Video grid's "Video Size"
// row. Shown without a modal loop; the main window is disabled while it shows.
class TSizeForm : public QDialog {
    Q_OBJECT

public:
    TSizeForm(QWidget *mainWindow, profiles::KeyValueGrid *videoGrid, platform::Dialogs &dialogs);

    QLineEdit *edtWidth;
    QLineEdit *edtHeight;
    QPushButton *btnOK;
    QPushButton *btnCancel;

    void btnOKClick();
    void btnCancelClick();

    // Every way of closing (OK, Cancel, Escape, the title bar) ends here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void FormClose();
    bool refuseUnless(bool valid, QLineEdit *edit, const QString &caption, const QString &text);

    QWidget *m_mainWindow;
    profiles::KeyValueGrid *m_videoGrid;
    platform::Dialogs &m_dialogs;
};
