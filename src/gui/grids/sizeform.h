#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace platform {
class Dialogs;
}

namespace grids {
class KeyValueGrid;
}

namespace grids {

// The custom video size: writes "width x height" as typed into the Video grid's "Video Size"
// row. Shown without a modal loop; the main window is disabled while it shows.
class TSizeForm : public QDialog {
    Q_OBJECT

public:
    TSizeForm(QWidget *mainWindow, grids::KeyValueGrid *videoGrid, platform::Dialogs &dialogs);

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
    grids::KeyValueGrid *m_videoGrid;
    platform::Dialogs &m_dialogs;
};

} // namespace grids
