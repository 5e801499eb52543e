#include "core/platform/dialogfilter.h"
#include "core/platform/fakes/fakechildprocess.h"
#include "core/platform/inifile.h"
#include "core/tasks/inputfiles.h"
#include "gui/about/aboutform.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/mainform/mainform.h"
#include "gui/widgets/publisher.h"
#include "gui/widgets/splitterbar.h"
#include "helpers/fakeprobe.h"
#include "helpers/testwindow.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>

using about::TAboutForm;
using mainform::TMainForm;

namespace {
QList<int> columnWidths(const TMainForm &form)
{
    QList<int> widths;
    for (int column = 0; column < 4; ++column)
        widths << form.ltvTask->columnWidth(column);
    return widths;
}

void dragSplitter(mainform::TMainForm &form, int x, Qt::KeyboardModifiers modifiers)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(x, 5), form.panSplitter->mapToGlobal(QPointF(x, 5)), Qt::NoButton,
                     Qt::LeftButton, modifiers);
    QApplication::sendEvent(form.panSplitter, &move);
}

using testwindow::FakeServices;

// A window whose encoder probes every input as a minute of video, except that a probe of a file
// named "slow" never ends, and whose conversions run until stopped.
struct ProbingWindow : testwindow::Window {
    explicit ProbingWindow(const QList<std::pair<QString, QByteArray>> &profiles)
        : testwindow::Window(profiles, testwindow::Encoder::Fake)
    {
        fakeProcesses.responder = [](const platform::FakeStart &start) {
            platform::FakeRun run;
            run.hangsAfterReads = !testprobe::isProbe(start) || start.arguments.join(' ').contains("slow");
            if (testprobe::isProbe(start) && !run.hangsAfterReads) {
                run = testprobe::probeRun(start, [](const QString &path) {
                    return ("Input #0, avi, from '" + path +
                            "':\n  Duration: 00:01:00, start: 0.000000\n"
                            "    Stream #0.0: Video: mpeg4, yuv420p, 320x240, 25 fps\n")
                        .toUtf8();
                });
            }
            return run;
        };
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    int conversions() const
    {
        return int(std::count_if(fakeProcesses.starts.cbegin(), fakeProcesses.starts.cend(),
                                 [](const platform::FakeStart &start) { return !testprobe::isProbe(start); }));
    }
};

} // namespace

class AppTest : public QObject {
    Q_OBJECT

private slots:
    void captionFollowsTheStoredVersion_data()
    {
        QTest::addColumn<QByteArray>("preferences");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no file") << QByteArray() << "Velkor 3GP Video Converter V2.1";
        QTest::newRow("no key") << QByteArray("[Main]\r\nProfile=2\r\n") << "Velkor 3GP Video Converter V2.1";
        QTest::newRow("stored") << QByteArray("[main]\nversion = 3.0\n") << "Velkor 3GP Video Converter V3.0";
    }
    void captionFollowsTheStoredVersion()
    {
        QFETCH(QByteArray, preferences);
        QTemporaryDir programDir;
        if (!preferences.isEmpty()) {
            QFile file(programDir.filePath("Preferences.ini"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(preferences);
        }
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        QTEST(form.windowTitle(), "caption");
    }

    void programDirectoryEndsInOneDelimiter_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("programDirectory");
        QTest::newRow("plain") << "/opt/velkor"
                               << "/opt/velkor/";
        QTest::newRow("with delimiter") << "/opt/velkor/"
                                        << "/opt/velkor/";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("empty stays empty") << ""
                                           << "";
    }
    void programDirectoryEndsInOneDelimiter()
    {
        QFETCH(QString, directory);
        const preferences::ProgramValues values = preferences::programValuesFor(directory);
        QTEST(values.programDirectory, "programDirectory");
        QCOMPARE(values.encoderPath, values.programDirectory + "wmaspi.dll");
    }

    // The created window lays out its regions as designed; resizing spreads the list's change
    // over the columns and moves the bottom bar's right-hand controls.
    void layoutFollowsTheWindow()
    {
        QTemporaryDir programDir;
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.panMain->width(), 580);
        QCOMPARE(form.ltvTask->width(), 570);
        QCOMPARE(form.panProfile->width(), 200);
        // The remembered width starts at 562, so the first layout spreads 8 pixels.
        QCOMPARE(columnWidths(form), (QList<int>{264, 91, 81, 102}));
        QCOMPARE(form.bbtnSetting->x(), 490);
        QCOMPARE(form.cmbProfile->width(), 407);
        QCOMPARE(form.bbtnBrowser->x(), 405);
        QCOMPARE(form.edtOutputdir->width(), 322);
        QCOMPARE(form.labCurProgress->x(), 553);
        QCOMPARE(form.pgbTotal->width(), 430);
        QVERIFY(form.panBottomCenter->isVisible());
        QVERIFY(!form.panBottomLeft->isVisible());
        QVERIFY(form.panbg->isVisible());

        form.resize(form.width() + 100, form.height());
        QTRY_COMPARE(form.ltvTask->width(), 670);
        QCOMPARE(columnWidths(form), (QList<int>{264 + 49, 91 + 17, 81 + 15, 102 + 19}));
        QCOMPARE(form.bbtnOpen->x(), 590);
        form.resize(form.width() + 1, form.height());
        QTRY_COMPARE(form.ltvTask->width(), 671);
        QCOMPARE(columnWidths(form), (QList<int>{313, 108, 96, 121}));

        // Shrinking far never takes a column or bar to zero.
        form.resize(120, form.height());
        QTRY_VERIFY(form.ltvTask->width() < 100);
        for (int width : columnWidths(form))
            QVERIFY(width > 0);
        QVERIFY(form.pgbCurrent->width() > 0 && form.cmbProfile->width() > 0);
    }

    void splitterDragResizesTheRightPanel_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("panelWidth");
        QTest::newRow("25 right of the edge") << 25 << int(Qt::NoModifier) << 180;
        QTest::newRow("left of the bar") << -15 << int(Qt::NoModifier) << 220;
        QTest::newRow("with shift") << 25 << int(Qt::ShiftModifier) << 200;
        QTest::newRow("with ctrl") << 25 << int(Qt::ControlModifier) << 200;
        QTest::newRow("at the edge") << 0 << int(Qt::NoModifier) << 200;
        QTest::newRow("far right is clamped") << 900 << int(Qt::NoModifier) << mainform::MinimumWidth;
    }
    void splitterDragResizesTheRightPanel()
    {
        QFETCH(int, x);
        QFETCH(int, modifiers);
        QTemporaryDir programDir;
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        dragSplitter(form, x, Qt::KeyboardModifiers(modifiers));
        QTEST(form.panProfile->width(), "panelWidth");
        QCOMPARE(form.bbtnSetting->x(), form.panMain->width() - 90);
    }

    // Only Stop, About and Help stay usable during a run; afterwards all but Stop.
    // Dragging the bar between the profile and the preview: the preview follows the pointer, and
    // collapses to nothing at 30 pixels or less.
    void previewSplitterCollapses_data()
    {
        QTest::addColumn<int>("previewHeight");
        QTest::addColumn<int>("shown");
        QTest::newRow("60 pixels") << 60 << 60;
        QTest::newRow("31 pixels") << 31 << 31;
        QTest::newRow("30 pixels") << 30 << 0;
        QTest::newRow("12 pixels") << 12 << 0;
    }
    void previewSplitterCollapses()
    {
        QFETCH(int, previewHeight);
        QTemporaryDir programDir;
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSplitterHandle *handle = form.Splitter1->handle(1);
        const int from = form.panPreview->height();
        QCOMPARE(from, 177);
        const QPoint grip(handle->width() / 2, 2);
        const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
            QMouseEvent event(type, at, handle->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
            QApplication::sendEvent(handle, &event);
        };
        send(QEvent::MouseButtonPress, grip, Qt::LeftButton);
        send(QEvent::MouseMove, grip + QPoint(0, from - previewHeight), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, grip + QPoint(0, from - previewHeight), Qt::NoButton);
        QFETCH(int, shown);
        QTRY_COMPARE(form.Splitter1->sizes().value(1), shown);
    }

    void controlStatesOfARun()
    {
        QTemporaryDir programDir;
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        const QList<QWidget *> listButtons{form.tbtnUp, form.tbtnDown, form.tbtnRemove, form.tbtnClear, form.tbtnStart};
        for (QWidget *button : listButtons)
            QVERIFY(!button->isEnabled());
        QVERIFY(form.tbtnAddFile->isEnabled() && !form.tbtnStop->isEnabled());
        form.DisableControlsForRun();
        const QList<QWidget *> idleOnly{form.tbtnAddFile, form.tbtnAddDir,  form.tbtnUp,    form.tbtnDown,
                                        form.tbtnRemove,  form.tbtnClear,   form.tbtnStart, form.tbtnSetting,
                                        form.ltvTask,     form.panSplitter, form.gpbProfile};
        for (QWidget *control : idleOnly)
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        for (QWidget *control : {(QWidget *)form.tbtnStop, (QWidget *)form.tbtnAbout, (QWidget *)form.tbtnHelp})
            QVERIFY(control->isEnabled());
        form.EnableControlsAfterRun();
        for (QWidget *control : idleOnly)
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(!form.tbtnStop->isEnabled());
    }

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

    // Every control can be found by assistive tools; a label is read by its own text.
    void controlsHaveAccessibleNames()
    {
        QTemporaryDir programDir;
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        const auto widgets = form.findChildren<QWidget *>();
        for (QWidget *widget : widgets) {
            if (qobject_cast<QLabel *>(widget))
                QVERIFY2(widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
            if (qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLineEdit *>(widget) ||
                qobject_cast<QComboBox *>(widget) || qobject_cast<QAbstractItemView *>(widget) ||
                qobject_cast<QProgressBar *>(widget) || qobject_cast<QGroupBox *>(widget)) {
                // Qt's own inner parts (a table's corner button) are not ours to name.
                if (widget->objectName().startsWith("qt_") || !widget->isVisibleTo(&form) ||
                    QByteArray(widget->metaObject()->className()) == "QTableCornerButton")
                    continue;
                QVERIFY2(!widget->accessibleName().isEmpty(), widget->metaObject()->className());
            }
        }
    }

    // Inputs named on the command line become tasks before any profile is loaded.
    void startupInputs_data()
    {
        QTest::addColumn<bool>("viaList");
        QTest::newRow("arguments") << false;
        QTest::newRow("list file") << true;
    }
    void startupInputs()
    {
        QFETCH(bool, viaList);
        QTemporaryDir programDir;
        QTemporaryDir media;
        auto touch = [&media](const QString &name) {
            QDir().mkpath(QFileInfo(media.filePath(name)).path());
            QFile file(media.filePath(name));
            file.open(QIODevice::WriteOnly);
            return file.fileName();
        };
        const QStringList paths{touch("a.avi"), QFileInfo(touch("folder/b.mpg")).path(), media.filePath("missing.avi"),
                                touch("notes.txt")};
        QStringList arguments = paths;
        if (viaList) {
            QFile list(media.filePath("inputs.TMP"));
            QVERIFY(list.open(QIODevice::WriteOnly));
            list.write(paths.join("\r\n").toUtf8());
            arguments = QStringList{list.fileName(), media.filePath("ignored.avi")};
        }
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path(), arguments);
        QTRY_VERIFY(!form.taskList().probingInputs());
        QStringList rows;
        for (int row = 0; row < form.ltvTask->topLevelItemCount(); ++row)
            rows << form.ltvTask->topLevelItem(row)->text(0);
        QCOMPARE(rows, (QStringList{media.filePath("a.avi"), media.filePath("folder/b.mpg")}));
        QVERIFY(form.tbtnStart->isEnabled());
        QVERIFY(form.ltvTask->topLevelItem(0)
                    ->text(tasks::columnOf(tasks::SelectOutputExt))
                    .isEmpty()); // no output extension yet

        FakeServices unreadable;
        mainform::TMainForm none(unreadable.services, programDir.path(),
                                 {media.filePath("gone.tmp"), media.filePath("a.avi")});
        QTRY_VERIFY(!none.taskList().probingInputs());
        QCOMPARE(none.ltvTask->topLevelItemCount(), 0);
        QVERIFY(unreadable.dialogs.messages.isEmpty());

        // A "list" that never ends names nothing instead of filling the memory.
        const QString endless = media.filePath("endless.tmp");
        QVERIFY(QFile::link("/dev/zero", endless));
        FakeServices endlessFakes;
        TMainForm fromEndless(endlessFakes.services, programDir.path(), {endless, media.filePath("a.avi")});
        QCOMPARE(fromEndless.ltvTask->topLevelItemCount(), 0);
    }

    // The output path, the profile and the settings survive a restart.
    void preferencesSurviveARestart()
    {
        QTemporaryDir programDir;
        QDir(programDir.path()).mkdir("Profiles");
        for (const char *name : {"a.vkp", "b.vkp"}) {
            QFile profile(programDir.filePath(QString("Profiles/") + name));
            QVERIFY(profile.open(QIODevice::WriteOnly));
            profile.write("[Main]\r\nType=avi\r\n");
        }
        {
            FakeServices fakes;
            mainform::TMainForm form(fakes.services, programDir.path());
            form.show();
            QCOMPARE(form.cmbProfile->currentIndex(), 0); // the default position
            form.cmbProfile->setCurrentIndex(1);
            form.edtOutputdir->setText("/srv/out/");
            form.close();
        }
        // A profile added meanwhile moves the stored one down the list; it is found by its name.
        QFile added(programDir.filePath("Profiles/0 first.vkp"));
        QVERIFY(added.open(QIODevice::WriteOnly) && added.write("[Main]\r\nType=mp4\r\n") > 0);
        added.close();
        FakeServices fakes;
        mainform::TMainForm again(fakes.services, programDir.path());
        again.show();
        QCOMPARE(again.cmbProfile->currentText(), "b");
        QCOMPARE(again.edtOutputdir->text(), "/srv/out/");
        QCOMPARE(again.outputExtension(), ".avi");
        again.close();

        // A stored position beyond the list, without a name listed, selects nothing; an
        // unwritable file is reported.
        platform::IniFile(programDir.filePath("Preferences.ini")).WriteInteger("Main", "Profile", 9);
        platform::IniFile(programDir.filePath("Preferences.ini")).WriteString("Main", "Profile Name", "gone");
        FakeServices third;
        mainform::TMainForm beyond(third.services, programDir.path());
        beyond.show();
        QCOMPARE(beyond.cmbProfile->currentIndex(), -1);
        QVERIFY(beyond.outputExtension().isEmpty());
        QFile::remove(programDir.filePath("Preferences.ini"));
        QDir(programDir.path()).mkdir("Preferences.ini");
        beyond.close();
        QVERIFY(!beyond.isVisible());
        QCOMPARE(third.dialogs.messages.size(), 1);
        QVERIFY(third.dialogs.messages.first().text.contains("Preferences.ini"));
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

    // The selected task's New Filename follows the profile chosen after it was selected.
    void outputNameFollowsTheProfile()
    {
        ProbingWindow w({{"Phone.vkp", testwindow::PhoneProfile},
                         {"Web.vkp", QByteArray(testwindow::PhoneProfile).replace("Type=3gp", "Type=mp4")}});
        w.add({"/v/holiday for chat.avi"});
        QTest::mouseClick(w.form->ltvTask->viewport(), Qt::LeftButton, {},
                          w.form->ltvTask->visualItemRect(w.form->ltvTask->topLevelItem(0)).center());
        const auto shownName = [&w] { return w.form->vleOutput->valueOf("New Filename"); };
        QCOMPARE(shownName(), "holiday for chat.3gp");
        w.form->cmbProfile->setFocus();
        QTest::keyClick(w.form->cmbProfile, Qt::Key_Down);
        QCOMPARE(w.form->cmbProfile->currentText(), "Web");
        QCOMPARE(shownName(), "holiday for chat.mp4");
    }

    // Start pressed while files are still probed shows that it waits, and Stop calls it off;
    // left alone, it starts the run once the files are listed.
    void startWaitsForTheProbes_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("left alone") << false;
        QTest::newRow("stopped") << true;
    }
    void startWaitsForTheProbes()
    {
        QFETCH(bool, stopped);
        ProbingWindow w(QList<std::pair<QString, QByteArray>>{{"Phone.vkp", testwindow::PhoneProfile}});
        w.add({"/v/a.avi"});
        w.form->taskList().setProbeTimeLimit(500);
        w.form->taskList().AddInputFile("/v/slow.avi");
        QVERIFY(w.form->taskList().probingInputs());
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QVERIFY(w.form->runIsIdle());
        QVERIFY(w.form->panBottomLeft->isVisible() && !w.form->panBottomCenter->isVisible());
        QCOMPARE(w.form->labConvertingFile->text(), "Waiting for the files being added");
        QVERIFY(!w.form->tbtnStart->isEnabled() && w.form->tbtnStop->isEnabled());
        if (stopped) {
            QTest::mouseClick(w.form->tbtnStop, Qt::LeftButton);
            QVERIFY(w.form->panBottomCenter->isVisible() && !w.form->panBottomLeft->isVisible());
            QVERIFY(w.form->tbtnStart->isEnabled() && !w.form->tbtnStop->isEnabled());
        }
        QTRY_VERIFY_WITH_TIMEOUT(!w.form->taskList().probingInputs(), 30000);
        QCOMPARE(w.form->ltvTask->topLevelItemCount(), 2);
        if (stopped) {
            QVERIFY(w.form->runIsIdle());
            QCOMPARE(w.conversions(), 0);
            QVERIFY(w.dialogs.messages.isEmpty());
            return;
        }
        QVERIFY(!w.form->runIsIdle());
        QTRY_COMPARE(w.conversions(), 1);
        QTest::mouseClick(w.form->tbtnStop, Qt::LeftButton);
        QTRY_VERIFY(w.form->runIsIdle());
        QCOMPARE(w.messageTexts(), QStringList{"The Coversion is canceled."});
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

    void openDialogFilter()
    {
        const QString mask = "*.avi;*.mpg;*.mpeg;*.mp4;*.wmv;*.mov;*.vob;*.asf;*.3gp;*.3g2;*.mkv;*.webm;*.flv;*.ogv;"
                             "*.m4v;*.ts;*.mts;*.m2ts;*.mxf;*.dv;*.divx;*.f4v;";
        QCOMPARE(tasks::SupportedFilesMask(), mask);
        const QString filter = preferences::OpenDialogFilter();
        QVERIFY(filter.startsWith("All Support Files(" + mask + ")|" + mask +
                                  "|AVI Files (*.avi)|*.avi|MPG Files (*.mpg)|"
                                  "*.mpg|MPEG Files (*.mpeg)|*.mpeg|MP4 Files (*.mp4)|*.mp4|WMV Files (*.wmv)|*.wmv|"
                                  "MOV Files (*.mov)|*.mov|VOB Files (*.vob)|*.vob|ASF Files (*.asf)|*.asf|"
                                  "3GP Files (*.3gp)|*.3gp|3G2 Files (*.3g2)|*.3g2|MKV Files (*.mkv)|*.mkv|"));
        QVERIFY(filter.endsWith("|DIVX Files (*.divx)|*.divx|F4V Files (*.f4v)|*.f4v|All Files (*.*)|*.*"));
        // Qt's dialog reads the patterns from the last parentheses, blank-separated.
        const QStringList qtFilters = platform::qtNameFilters(filter).split(";;");
        QCOMPARE(qtFilters.size(), 24);
        QCOMPARE(qtFilters.first(), "All Support Files(" + QString(mask).replace(';', ' ').trimmed() + ")");
        QCOMPARE(qtFilters.at(1), "AVI Files (*.avi)");
        QCOMPARE(qtFilters.at(9), "3GP Files (*.3gp)");
        QCOMPARE(qtFilters.last(), "All Files (*)");
    }
};

std::unique_ptr<QObject> makeAppTest()
{
    return std::make_unique<AppTest>();
}
#include "tst_app.moc"
