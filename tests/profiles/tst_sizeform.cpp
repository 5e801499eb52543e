#include "core/platform/desktopapi.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/grids/sizeform.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using grids::KeyValueGrid;
using grids::TSizeForm;

namespace {

// Records who owns each message, which the shared fake does not.
struct OwnedMessage {
    QWidget *owner;
    QString caption, text;
    platform::MessageIcon icon;
    platform::MessageButtons buttons;
};

class RecordingDialogs final : public platform::Dialogs {
public:
    platform::MessageButton messageBox(QWidget *owner, const QString &caption, const QString &text,
                                       platform::MessageIcon icon, platform::MessageButtons buttons) override
    {
        messages.append({owner, caption, text, icon, buttons});
        return platform::MessageButton::Ok;
    }
    QStringList openFiles(QWidget *, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &) override { return {}; }
    bool selectDirectory(QWidget *, const QString &, const QString &, QString &) override { return false; }

    QList<OwnedMessage> messages;
};

// A stand-in main window whose Video grid has "Custom Size" chosen, and the dialog shown.
struct OpenSizeForm {
    QWidget mainWindow;
    KeyValueGrid *video = new KeyValueGrid(95, &mainWindow);
    RecordingDialogs dialogs;
    TSizeForm form{&mainWindow, video, dialogs};

    OpenSizeForm()
    {
        const int row = video->appendRow("Video Size", "Custom Size");
        // No "Original Size" among the captions: Cancel writes it all the same.
        video->setEditStyle(row, KeyValueGrid::EditStyle::PickList);
        video->setPickList(row, {"320x240", "Custom Size"});
        mainWindow.show();
        form.show();
    }
};

} // namespace

class SizeFormTest : public QObject {
    Q_OBJECT

private slots:
    void sizeIsValidated_data()
    {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("stored");  // empty: refused
        QTest::addColumn<QString>("caption"); // of the refusal
        QTest::newRow("plain") << "320"
                               << "240"
                               << "320x240"
                               << "";
        QTest::newRow("leading blank kept") << " 320"
                                            << "240"
                                            << " 320x240"
                                            << "";
        QTest::newRow("zero and negative") << "0"
                                           << "-5"
                                           << "0x-5"
                                           << "";
        QTest::newRow("width not a number") << "abc"
                                            << "240"
                                            << ""
                                            << "Incorrect Width";
        QTest::newRow("height empty") << "320"
                                      << ""
                                      << ""
                                      << "Incorrect Height";
        QTest::newRow("both wrong: width first") << "abc"
                                                 << "x"
                                                 << ""
                                                 << "Incorrect Width";
    }
    void sizeIsValidated()
    {
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, stored);
        QFETCH(QString, caption);
        OpenSizeForm open;
        QVERIFY(!open.mainWindow.isEnabled());
        QVERIFY(open.form.isEnabled());
        open.form.edtWidth->setText(width);
        open.form.edtHeight->setText(height);
        open.form.btnOK->click();

        if (!stored.isEmpty()) {
            QCOMPARE(open.video->valueOf("Video Size"), stored);
            QVERIFY(!open.form.isVisible());
            QVERIFY(open.mainWindow.isEnabled());
            QVERIFY(open.dialogs.messages.isEmpty());
            return;
        }
        QVERIFY(open.form.isVisible());
        QVERIFY(!open.mainWindow.isEnabled());
        QCOMPARE(open.video->valueOf("Video Size"), "Custom Size");
        QCOMPARE(open.dialogs.messages.size(), 1);
        const OwnedMessage &message = open.dialogs.messages[0];
        QCOMPARE(message.owner, &open.form);
        QCOMPARE(message.caption, caption);
        const bool aboutWidth = caption == "Incorrect Width";
        QCOMPARE(message.text, aboutWidth ? "Please specify a proper width for output videos."
                                          : "Please specify a proper height for output videos.");
        QCOMPARE(message.icon, platform::MessageIcon::Information);
        QCOMPARE(message.buttons, platform::MessageButtons(platform::MessageButton::Ok));
        QCOMPARE(open.form.focusWidget(), aboutWidth ? open.form.edtWidth : open.form.edtHeight);
    }

    void everyCloseRestoresOriginalSize_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("title bar") << "close";
        QTest::newRow("Escape") << "escape";
    }
    void everyCloseRestoresOriginalSize()
    {
        QFETCH(QString, how);
        OpenSizeForm open;
        open.form.edtWidth->setText("176");
        open.form.edtHeight->setText("144");
        if (how == "cancel")
            open.form.btnCancel->click();
        else if (how == "close")
            open.form.close();
        else
            QTest::keyClick(&open.form, Qt::Key_Escape);
        QVERIFY(!open.form.isVisible());
        QVERIFY(open.mainWindow.isEnabled());
        QCOMPARE(open.video->valueOf("Video Size"), "Original Size");

        // Nothing clears the edits: the next opening shows what was typed.
        open.video->setValue(0, "Custom Size");
        open.form.show();
        QCOMPARE(open.form.edtWidth->text(), "176");
        QCOMPARE(open.form.edtHeight->text(), "144");
        QVERIFY(!open.mainWindow.isEnabled());
    }
};

std::unique_ptr<QObject> makeSizeFormTest()
{
    return std::make_unique<SizeFormTest>();
}

#include "tst_sizeform.moc"
