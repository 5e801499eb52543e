// The commands that lead out of the main window: the output folder's buttons, the link, Help
// and the about box.
#include "core/tasks/inputfiles.h"
#include "gui/about/aboutform.h"
#include "gui/mainform/mainform.h"
#include "gui/widgets/publisher.h"
#include "helpers/testwindow.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>

using about::TAboutForm;
using mainform::TMainForm;
using testwindow::FakeServices;

class WindowCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void outputDirectoryButtons()
    {
        QTemporaryDir programDir;
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        QCOMPARE(form.edtOutputdir->text(), programDir.path() + "/");
        fakes.dialogs.folderToChoose = "/srv/videos";
        form.bbtnBrowser->click();
        QCOMPARE(form.edtOutputdir->text(), "/srv/videos/");
        QCOMPARE(fakes.dialogs.folderTitles, QStringList{"Select the output directory."});
        form.bbtnBrowser->click(); // cancelled
        QCOMPARE(form.edtOutputdir->text(), "/srv/videos/");
        form.bbtnOpen->click(); // no such directory: nothing
        QVERIFY(fakes.desktop.opened.isEmpty());
        form.edtOutputdir->setText(programDir.path());
        form.bbtnOpen->click();
        QCOMPARE(fakes.desktop.opened, QStringList{programDir.path()});
    }

    // The commands that lead out of the window open what they name with the desktop, whose
    // result is not looked at, and the about box holds the main window while it shows.
    void windowCommands()
    {
        FakeServices fakes;
        QTemporaryDir programDir;
        mainform::TMainForm form(fakes.services, programDir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QColor link(27, 95, 252), pressed(128, 165, 253);
        const auto colour = [&] { return form.labLink->palette().color(QPalette::WindowText); };
        QCOMPARE(colour(), link);
        const QPoint inside = form.labLink->rect().center();
        QTest::mousePress(form.labLink, Qt::RightButton, {}, inside);
        QCOMPARE(colour(), pressed);
        // Let go outside the label: the colour comes back, nothing opens.
        QTest::mouseRelease(form.labLink, Qt::RightButton, {}, QPoint(-5, -5));
        QCOMPARE(colour(), link);
        QVERIFY(fakes.desktop.opened.isEmpty());
        // A right or middle click lights the link but opens nothing; the left one opens it.
        for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton})
            QTest::mouseClick(form.labLink, other, {}, inside);
        QVERIFY(fakes.desktop.opened.isEmpty());
        QTest::mouseClick(form.labLink, Qt::LeftButton, {}, inside);
        QCOMPARE(colour(), link);
        form.tbtnHelp->click();
        QCOMPARE(fakes.desktop.opened, (QStringList{widgets::WebAddress, form.programValues().helpFilePath()}));
        QVERIFY(form.programValues().helpFilePath().startsWith(form.programValues().programDirectory));

        fakes.desktop.opened.clear();
        form.tbtnAbout->click();
        about::TAboutForm &about = *form.AboutForm;
        QVERIFY(about.isVisible() && !form.isEnabled());
        QCOMPARE(about.windowTitle(), "About");
        // Owned by the main window, so it cannot fall behind it; a minimise leaves it open.
        QVERIFY(about.windowHandle());
        QCOMPARE(about.windowHandle()->transientParent(), form.windowHandle());
        about.showMinimized();
        QTest::qWait(20);
        QVERIFY(!form.isEnabled());
        about.showNormal();
        about.btnTech->click();
        about.btnSales->click();
        emit about.labWebsite->linkActivated(QString());
        emit about.labMore->linkActivated(QString());
        for (QLabel *product : about.productLinks)
            emit product->linkActivated(QString());
        QCOMPARE(fakes.desktop.opened,
                 (QStringList{"mailto:support@example.com", "mailto:sales@example.com", widgets::WebAddress,
                              widgets::WebAddress, widgets::OtherProducts[0].webPage, widgets::OtherProducts[1].webPage,
                              widgets::OtherProducts[2].webPage}));
        about.btnOK->click();
        QVERIFY(!about.isVisible() && form.isEnabled());
    }

    // Where the desktop has no program to open a folder, a page or a file, the commands that
    // rely on one say so instead of doing nothing.
    void openingWithoutALauncherIsTold()
    {
        FakeServices fakes;
        fakes.desktop.launcherFound = false;
        QTemporaryDir programDir;
        mainform::TMainForm form(fakes.services, programDir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.tbtnHelp, Qt::LeftButton);
        QTest::mouseClick(form.bbtnOpen, Qt::LeftButton);
        QTest::mouseClick(form.labLink, Qt::LeftButton, {}, form.labLink->rect().center());
        const QStringList targets{form.programValues().helpFilePath(), form.edtOutputdir->text(), widgets::WebAddress};
        QCOMPARE(fakes.desktop.opened, targets);
        QCOMPARE(fakes.dialogs.messages.size(), targets.size());
        for (int n = 0; n < targets.size(); ++n)
            QCOMPARE(fakes.dialogs.messages.at(n).text, "No program was found to open \"" + targets.at(n) + "\".");
    }

    // The help page Help opens names every extension the program takes from folders and drops.
    void helpPageNamesEveryExtension()
    {
        FakeServices fakes;
        QTemporaryDir programDir;
        mainform::TMainForm form(fakes.services, programDir.path());
        QTest::mouseClick(form.tbtnHelp, Qt::LeftButton);
        QCOMPARE(fakes.desktop.opened.size(), 1);
        QFile help(QStringLiteral(VELKOR_BIN_DIR "/") + QFileInfo(fakes.desktop.opened.first()).fileName());
        QVERIFY2(help.open(QIODevice::ReadOnly), qPrintable(help.fileName()));
        const QString page = QString::fromUtf8(help.readAll());
        for (const QString &extension : tasks::SupportedInputExtensions()) {
            const QRegularExpression named("(?<!\\w)" + QRegularExpression::escape(extension) + "(?!\\w)");
            QVERIFY2(page.contains(named), qPrintable(extension));
        }
    }
};

std::unique_ptr<QObject> makeWindowCommandsTest()
{
    return std::make_unique<WindowCommandsTest>();
}
#include "tst_windowcommands.moc"
