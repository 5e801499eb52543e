#include "gui/grids/keyvaluegrid.h"
#include "gui/settings/settingform.h"
#include "helpers/testfiles.h"
#include "helpers/testwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using mainform::TMainForm;
using settings::TSettingForm;

using testwindow::Window;

namespace {

// Lines of a profile as this program writes them. "Video Size" has no "Index" line, "Bit Rate"
// takes the video grid from the parameter before it, "Audio Codec" is fixed.
const QByteArray Phone = "[Main]\r\nType=3gp\r\nPara=5\r\n0=Video Size\r\n1=Bit Rate\r\n2=Audio Codec\r\n"
                         "3=Title\r\n4=Channels\r\n\r\n"
                         "[Video Size]\r\nSort=1\r\nReadOnly=0\r\ncmd=-s\r\nList=1\r\n"
                         "Caption=128x96,176x144,352x288,\r\nValue=128x96,176x144,352x288,\r\n\r\n"
                         "[Bit Rate]\r\nReadOnly=0\r\ncmd=-b:v\r\nList=1\r\nCaption=64 kbps,128 kbps,\r\n"
                         "Value=64k,128k,\r\nIndex=1\r\n\r\n"
                         "[Audio Codec]\r\nSort=2\r\nReadOnly=1\r\ncmd=-c:a\r\nList=1\r\nCaption=AAC,\r\nValue=aac,\r\n"
                         "Index=0\r\n\r\n"
                         "[Title]\r\nSort=3\r\nReadOnly=0\r\ncmd=-metadata\r\nList=0\r\nCaption=title=Holiday\r\n"
                         "Value=title=Holiday\r\n\r\n"
                         "[Channels]\r\nSort=2\r\nReadOnly=0\r\ncmd=-ac\r\nList=1\r\nCaption=Mono,Stereo,\r\n"
                         "Value=1,2,\r\nIndex=0\r\n";

// The same profile after the page chose 352x288, stereo and the title "Trip".
QByteArray changedPhone()
{
    return QByteArray(Phone)
        .replace("[Video Size]\r\n", "[Video Size]\r\nIndex=2\r\n")
        .replace("Caption=title=Holiday\r\nValue=title=Holiday", "Caption=title=Trip\r\nValue=title=Trip")
        .replace("Value=1,2,\r\nIndex=0", "Value=1,2,\r\nIndex=1");
}

// "Index" names a caption the list does not have.
const QByteArray Broken = "[Main]\r\nType=mp4\r\nPara=1\r\n0=Video Size\r\n\r\n[Video Size]\r\nSort=1\r\n"
                          "ReadOnly=0\r\ncmd=-s\r\nList=1\r\nCaption=320x240,\r\nValue=320x240,\r\nIndex=4\r\n";

void choose(grids::KeyValueGrid *grid, const QString &key, const QString &caption)
{
    grid->choosePickListEntry(grid->findRow(key), caption);
}

// Types into the value cell as the user would, and confirms with Enter.
void type(grids::KeyValueGrid *grid, const QString &key, const QString &text)
{
    grid->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(grid->window()));
    grid->setFocus();
    grid->setCurrentCell(grid->findRow(key), 1);
    QTest::keyClicks(grid, text.left(1));
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(grid->valueOf(key), text, 5000);
}

struct ProfileWindow : Window {
    ProfileWindow() : Window({{"Phone.vkp", Phone}, {"Broken.vkp", Broken}})
    {
        form->show();
        form->cmbProfile->setCurrentIndex(form->cmbProfile->findText("Phone"));
        form->cmbProfileChange();
        // Showing the window may have chosen the broken profile first.
        dialogs.messages.clear();
    }
    QString phone() const { return programDir.filePath("Profiles/Phone.vkp"); }
    TSettingForm &settings() const { return *form->SettingForm; }
    // The page opened from the main window's "&Setting" button, with the choices of the test.
    void changeChoices()
    {
        form->bbtnSetting->click();
        choose(settings().vleVideo, "Video Size", "352x288");
        choose(settings().vleAudio, "Channels", "Stereo");
        type(settings().vleAdvanced, "Title", "title=Trip");
    }
};

} // namespace

// The settings dialog's Profiles page, opened from the main window.
class ProfilePageTest : public QObject {
    Q_OBJECT

private slots:
    void theTwoWaysOfOpeningTheDialog()
    {
        ProfileWindow window;
        settings::TSettingForm &settings = window.settings();
        window.form->tbtnSetting->click();
        QVERIFY(settings.isVisible());
        QCOMPARE(settings.pgcSetting->currentIndex(), 0);
        // Nothing was chosen on the page yet: OK saves no profile.
        settings.btnOK->click();
        QVERIFY(!settings.isVisible());
        QCOMPARE(testfiles::readFile(window.phone()), Phone);

        // The main window's unsaved choices are not what the page shows: it reads the file.
        choose(window.form->vleVideo, "Video Size", "176x144");
        window.form->bbtnSetting->click();
        QCOMPARE(settings.pgcSetting->currentIndex(), 1);
        QCOMPARE(settings.cmbProfile->currentText(), "Phone");
        QCOMPARE(settings.vleVideo->valueOf("Video Size"), "128x96");
        QCOMPARE(settings.vleVideo->valueOf("Bit Rate"), "128 kbps");
        QCOMPARE(settings.vleAudio->valueOf("Audio Codec"), "AAC");
        QCOMPARE(settings.vleAdvanced->valueOf("Title"), "title=Holiday");
        QCOMPARE(settings.vleVideo->height(), 2 * 18);
        settings.btnCancel->click();

        // Opened from the toolbar, the page stays as it was.
        window.form->tbtnSetting->click();
        QCOMPARE(settings.pgcSetting->currentIndex(), 0);
        QCOMPARE(settings.cmbProfile->currentText(), "Phone");
        settings.btnCancel->click();
        QCOMPARE(testfiles::readFile(window.phone()), Phone);
        QVERIFY(window.messageTexts().isEmpty());
    }

    // OK writes each choice into the profile and the main window shows them; the changed profile
    // converts with them.
    void okSavesTheChoices()
    {
        ProfileWindow window;
        window.changeChoices();
        window.settings().btnOK->click();
        QCOMPARE(testfiles::readFile(window.phone()), changedPhone());
        QCOMPARE(window.form->vleVideo->valueOf("Video Size"), "352x288");
        QCOMPARE(window.form->vleAudio->valueOf("Channels"), "Stereo");
        QCOMPARE(window.form->vleAdvanced->valueOf("Title"), "title=Trip");

        QTemporaryDir media;
        const QString clip = media.filePath("clip.avi");
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=2", "-f",
                                "lavfi", "-i", "sine=duration=2", "-c:v", "mpeg4", "-c:a", "mp3", "-ac", "1", clip});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
        window.add({clip});
        window.form->edtOutputdir->setText(media.path());
        window.form->show();
        QVERIFY(testwindow::startAndWaitForRun(*window.form));
        QCOMPARE(window.form->ltvTask->topLevelItem(0)->text(tasks::columnOf(tasks::SelectStatus)), "Complete");
        QProcess ffprobe;
        ffprobe.start("ffprobe", {"-v", "error", "-show_entries", "stream=width,height,channels", "-of",
                                  "default=noprint_wrappers=1", media.filePath("clip.3gp")});
        QVERIFY(ffprobe.waitForFinished(30000));
        const QString report = ffprobe.readAllStandardOutput();
        QVERIFY2(report.contains("width=352\nheight=288") && report.contains("channels=2"), qPrintable(report));
    }

    // The page keeps its choices while hidden; a later OK saves them, and reloads the main
    // window only when it shows the same profile.
    void okOnAnotherProfileLeavesTheMainWindowAlone()
    {
        ProfileWindow window;
        window.changeChoices();
        window.settings().btnCancel->click();
        QCOMPARE(testfiles::readFile(window.phone()), Phone);
        window.form->cmbProfile->setCurrentIndex(window.form->cmbProfile->findText("Broken"));
        window.form->cmbProfileChange();
        QCOMPARE(window.dialogs.messages.size(), 1); // refused: the grids still show Phone

        window.form->tbtnSetting->click();
        window.settings().btnOK->click();
        QCOMPARE(testfiles::readFile(window.phone()), changedPhone());
        QCOMPARE(window.form->vleVideo->valueOf("Video Size"), "128x96");
        QCOMPARE(window.dialogs.messages.size(), 1);
    }

    // A profile the page refused does not get the choices of the one it still shows.
    void aRefusedProfileIsNotSaved()
    {
        ProfileWindow window;
        window.changeChoices();
        settings::TSettingForm &settings = window.settings();
        settings.cmbProfile->setCurrentIndex(settings.cmbProfile->findText("Broken"));
        emit settings.cmbProfile->activated(settings.cmbProfile->currentIndex());
        QCOMPARE(window.dialogs.messages.size(), 1);
        QVERIFY(window.messageTexts().first().contains("Broken.vkp"));

        // Save As says why it saves nothing, rather than doing nothing.
        const QString target = window.programDir.filePath("Profiles/Broken copy.vkp");
        window.dialogs.fileToSave = target;
        settings.btnSaveAs->click();
        QCOMPARE(window.dialogs.messages.size(), 2);
        QVERIFY2(window.messageTexts().last().contains("\"Broken\" is not shown on this page"),
                 qPrintable(window.messageTexts().last()));
        QVERIFY(!QFileInfo::exists(target));

        settings.btnOK->click();
        QCOMPARE(testfiles::readFile(window.programDir.filePath("Profiles/Broken.vkp")), Broken);
        QCOMPARE(testfiles::readFile(window.phone()), Phone);
    }

    // A profile whose file cannot be rewritten (its name leaves no room for the temporary file
    // beside it) still shows on the page; the error comes after, over the filled grids. Its lines
    // end as a hand edit may leave them, so releasing it means rewriting it.
    void anUnwritableProfileShowsBeforeItsError()
    {
        const QString longName = QString(251, QLatin1Char('P'));
        Window window({{longName + ".vkp", QByteArray(Phone).replace("\r\n", "\n")}});
        window.form->show();
        window.form->cmbProfile->setCurrentIndex(0);
        window.dialogs.messages.clear();
        QStringList shownWithTheError;
        window.dialogs.onMessage = [&](const desktop::ShownMessage &) {
            shownWithTheError = {window.form->SettingForm->vleVideo->valueOf("Video Size"),
                                 window.form->SettingForm->vleAdvanced->valueOf("Title")};
        };
        window.form->bbtnSetting->click();
        QCOMPARE(window.dialogs.messages.size(), 1);
        QVERIFY2(window.messageTexts().first().startsWith("Cannot create file"),
                 qPrintable(window.messageTexts().first()));
        QCOMPARE(shownWithTheError, (QStringList{"128x96", "title=Holiday"}));
        QVERIFY(window.form->SettingForm->isVisible());
    }

    // A profile's file is used under its own name, whatever the case of its extension; a damaged
    // one is refused by Start as well.
    void profilesAsListed()
    {
        Window window({{"AWKWARD.VKP", Phone}, {"Broken.vkp", Broken}});
        window.form->show();
        QComboBox *mainList = window.form->cmbProfile;
        mainList->setCurrentIndex(mainList->findText("AWKWARD"));
        window.form->cmbProfileChange();
        QCOMPARE(window.form->vleVideo->valueOf("Video Size"), "128x96");
        QCOMPARE(window.form->outputExtension(), ".3gp");
        window.form->bbtnSetting->click();
        choose(window.form->SettingForm->vleVideo, "Video Size", "176x144");
        window.form->SettingForm->btnOK->click();
        QVERIFY(testfiles::readFile(window.programDir.filePath("Profiles/AWKWARD.VKP"))
                    .contains("[Video Size]\r\nIndex=1\r\n"));
        QCOMPARE(window.form->vleVideo->valueOf("Video Size"), "176x144");
        QVERIFY(!QFileInfo::exists(window.programDir.filePath("Profiles/AWKWARD.vkp")));

        QTemporaryDir output;
        window.form->edtOutputdir->setText(output.path());
        window.add({window.programDir.filePath("Profiles/Broken.vkp")});
        mainList->setCurrentIndex(mainList->findText("Broken"));
        window.dialogs.messages.clear();
        const QString status = window.form->ltvTask->topLevelItem(0)->text(tasks::columnOf(tasks::SelectStatus));
        window.form->tbtnStart->click();
        QCOMPARE(window.dialogs.messages.size(), 1);
        QVERIFY(window.messageTexts().first().contains("Broken.vkp"));
        QCOMPARE(window.form->runControl().state(), TMainForm::RunState::Idle);
        QVERIFY(window.form->tbtnStart->isEnabled());
        QCOMPARE(window.form->ltvTask->topLevelItem(0)->text(tasks::columnOf(tasks::SelectStatus)), status);
        QVERIFY(QDir(output.path()).isEmpty());
    }

    void saveAs_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::newRow("new name") << QByteArray();
        QTest::newRow("existing name") << QByteArray("[Main]\r\nPara=0\r\n");
    }
    void saveAs()
    {
        QFETCH(QByteArray, before);
        ProfileWindow window;
        const QString target = window.programDir.filePath("Profiles/Phone copy.vkp");
        if (!before.isEmpty()) {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
        }
        window.changeChoices();
        window.dialogs.fileToSave = target;
        QTest::mouseClick(window.settings().btnSaveAs, Qt::LeftButton);
        // The dialog starts in the folder the lists are read from, not in the working folder.
        QCOMPARE(window.dialogs.lastSaveDirectory, window.programDir.filePath("Profiles"));
        QCOMPARE(window.dialogs.lastSaveFilter, "Profiles (*.vkp)|*.vkp");
        QCOMPARE(window.dialogs.lastSaveSuffix, ".vkp");
        QCOMPARE(testfiles::readFile(target), changedPhone());
        QVERIFY(window.messageTexts().isEmpty());
        // Only the copy is written, and the lists know it from the next start on.
        QCOMPARE(testfiles::readFile(window.phone()), Phone);
        QCOMPARE(window.settings().cmbProfile->count(), 2);
        window.settings().btnOK->click();
        QCOMPARE(testfiles::readFile(window.phone()), changedPhone());
    }

    void aFailedCopyWritesNothing()
    {
        ProfileWindow window;
        window.changeChoices();
        const QString target = window.programDir.filePath("no such folder/Phone copy.vkp");
        window.dialogs.fileToSave = target;
        window.settings().btnSaveAs->click();
        QCOMPARE(window.dialogs.messages.size(), 1);
        QVERIFY2(window.messageTexts().first().startsWith("Cannot copy the profile \"" + window.phone() + "\" to \"" +
                                                          target + "\". "),
                 qPrintable(window.messageTexts().first()));
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(window.settings().isVisible());

        // Cancelling the save dialog writes nothing either.
        window.settings().btnSaveAs->click();
        QCOMPARE(window.dialogs.messages.size(), 1);
        QCOMPARE(testfiles::readFile(window.phone()), Phone);
    }
};

std::unique_ptr<QObject> makeProfilePageTest()
{
    return std::make_unique<ProfilePageTest>();
}

#include "tst_profilepage.moc"
