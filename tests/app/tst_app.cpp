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
