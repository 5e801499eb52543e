// The program as a normal user meets it after an installation: a program directory they cannot
// write, their own files in their home.
#include "core/platform/atomicsave.h"
#include "core/preferences/filelocations.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/settings/settingform.h"
#include "helpers/testwindow.h"
#include "install/unprivileged.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using mainform::TMainForm;
using settings::TSettingForm;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, contents(path));
    }
    return files;
}

// A window on the given program directory with fakes for the desktop.
struct Window {
    platform::QtProcessLauncher processes;
    desktop::FakeDialogs dialogs;
    desktop::FakeDesktop desktop;
    desktop::FakePowerControl power;
    platform::Services services{processes, dialogs, desktop, power};
    std::unique_ptr<mainform::TMainForm> form;

    explicit Window(const QString &programDirectory)
    {
        widgets::setErrorDialogs(&dialogs);
        form = std::make_unique<mainform::TMainForm>(services, programDirectory);
        form->show();
    }
    ~Window() { widgets::setErrorDialogs(nullptr); }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto &message : dialogs.messages)
            texts << message.caption + ": " + message.text;
        return texts;
    }
};

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

// The user's home, with the XDG folders left to their defaults inside it.
struct Home {
    QTemporaryDir dir;
    Home()
    {
        qputenv("HOME", dir.path().toUtf8());
        for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            qunsetenv(name);
    }
    QString path(const QString &relative) const { return dir.filePath(relative); }
};

} // namespace

class InstallTest : public QObject {
    Q_OBJECT

private slots:
    void readOnlyProgramDirectory()
    {
        if (unprivileged::isPrivileged()) {
            QVERIFY2(unprivileged::rerunAsNobody("readOnlyProgramDirectory"), "failed as the user nobody");
            return;
        }
        QTemporaryDir scratch;
        QString program = qEnvironmentVariable("VELKOR_PROGRAM_COPY");
        if (program.isEmpty())
            program = unprivileged::readOnlyProgramCopy(scratch.path());
        const auto shipped = snapshot(program);
        QVERIFY(shipped.size() > 3);
        Home home;
        const QString userProfiles = home.path(".local/share/velkor/Profiles");
        const QString videos = home.path("Videos") + "/";

        const QString clip = home.path("clips/phone clip.3gp");
        QDir().mkpath(home.path("clips"));
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=176x144:rate=10:duration=1", "-f",
                                "lavfi", "-i", "sine=duration=1:sample_rate=8000", "-c:v", "h263", "-c:a", "aac", "-ac",
                                "1", "-shortest", clip});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);

        QString firstProfile, chosen;
        {
            Window w(program + "/");
            QCOMPARE(w.messageTexts(), QStringList());
            QCOMPARE(contents(home.path(".config/velkor/Preferences.ini")),
                     shipped.value(program + "/Preferences.ini"));
            QCOMPARE(w.form->edtOutputdir->text(), videos);
            QVERIFY(QFileInfo(videos).isDir());
            firstProfile = w.form->cmbProfile->currentText();
            QVERIFY(!firstProfile.isEmpty());

            // A conversion lands in the user's videos folder.
            w.form->taskList().AddInputFile(clip);
            QTRY_VERIFY_WITH_TIMEOUT(!w.form->taskList().probingInputs(), 60000);
            w.form->EnableListButtonsIfTasks();
            click(w.form->tbtnStart);
            QTRY_COMPARE_WITH_TIMEOUT(w.form->runControl().state(), TMainForm::RunState::Idle, 120000);
            QCOMPARE(w.form->ltvTask->topLevelItem(0)->text(3), "Complete");
            QVERIFY(QFileInfo(videos + "phone clip.3gp").size() > 0);
            QCOMPARE(w.messageTexts(), QStringList{"Complete: The coversion is completed successfully."});
            w.dialogs.messages.clear();

            // A preference changed in the settings dialog.
            click(w.form->tbtnSetting);
            QVERIFY(!w.form->SettingForm->chkExit->isChecked());
            click(w.form->SettingForm->chkExit);
            click(w.form->SettingForm->btnOK);

            // OK on the Profiles page saves the user's copy of the shipped profile.
            QVERIFY(!w.form->SettingForm->isVisible() && w.form->isEnabled());
            click(w.form->bbtnSetting);
            settings::TSettingForm &settings = *w.form->SettingForm;
            QCOMPARE(settings.cmbProfile->currentText(), firstProfile);
            const int size = settings.vleVideo->findRow("Video Size");
            QVERIFY(size >= 0 && !settings.vleVideo->pickList(size).isEmpty());
            chosen = settings.vleVideo->pickList(size).last();
            settings.vleVideo->choosePickListEntry(size, chosen);
            click(settings.btnOK);
            QCOMPARE(w.messageTexts(), QStringList());
            const QString ownCopy = userProfiles + "/" + firstProfile + ".vkp";
            QVERIFY(QFileInfo::exists(ownCopy));
            QCOMPARE(w.form->profileControl().profileEntries().at(w.form->cmbProfile->currentIndex()).path, ownCopy);
            QCOMPARE(w.form->vleVideo->valueOf("Video Size"), chosen);

            // Save As starts in the user's folder and never writes into the shipped one.
            click(w.form->bbtnSetting);
            w.dialogs.fileToSave = program + "/Profiles/Mine.vkp";
            click(settings.btnSaveAs);
            QCOMPARE(w.dialogs.lastSaveDirectory, userProfiles);
            QVERIFY(QFileInfo::exists(userProfiles + "/Mine.vkp"));
            click(settings.btnCancel);
            QCOMPARE(w.messageTexts(), QStringList());
            w.form->close();
        }
        {
            Window w(program + "/");
            QCOMPARE(w.messageTexts(), QStringList());
            QVERIFY(w.form->SettingForm->chkExit->isChecked());
            QCOMPARE(w.form->edtOutputdir->text(), videos);
            const QStringList names = profiles::ProfileNames(w.form->profileControl().profileEntries());
            QCOMPARE(names.count(firstProfile), 1);
            QVERIFY(names.contains("Mine"));
            QCOMPARE(w.form->profileControl().profileEntries().at(names.indexOf(firstProfile)).path,
                     userProfiles + "/" + firstProfile + ".vkp");
            QCOMPARE(w.form->vleVideo->valueOf("Video Size"), chosen);
            w.form->close();
        }
        QCOMPARE(snapshot(program), shipped);
    }

    // The package holds the whole program in its place, and what it unpacks starts for a user.
    void packageLayoutAndStart()
    {
        QTemporaryDir work;
        QFile::setPermissions(work.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                               QFile::ExeOther);
        QProcess cpack;
        cpack.setWorkingDirectory(QStringLiteral(VELKOR_BUILD_DIR));
        cpack.setProcessChannelMode(QProcess::MergedChannels);
        cpack.start("cpack", {"-G", "DEB", "-B", work.filePath("package")});
        QVERIFY(cpack.waitForFinished(300000));
        QVERIFY2(cpack.exitCode() == 0, cpack.readAll().constData());
        const QStringList debs = QDir(work.filePath("package")).entryList({"velkor_*_amd64.deb"});
        QCOMPARE(debs.size(), 1);
        const QString root = work.filePath("root");
        QCOMPARE(QProcess::execute("dpkg-deb", {"-x", work.filePath("package/" + debs.first()), root}), 0);
        for (const char *path :
             {"usr/lib/velkor/velkor", "usr/lib/velkor/velkor-window", "usr/lib/velkor/wmaspi.dll",
              "usr/lib/velkor/Preferences.ini", "usr/lib/velkor/velkor-help.html", "usr/lib/velkor/system-wide",
              "usr/lib/velkor/Profiles/3GP H.263 176x144 (QCIF).vkp", "usr/share/applications/velkor.desktop",
              "usr/share/icons/hicolor/scalable/apps/velkor.svg", "usr/share/metainfo/velkor.metainfo.xml",
              "usr/share/doc/velkor/copyright", "usr/share/man/man1/velkor.1.gz"})
            QVERIFY2(QFileInfo(root + "/" + path).isFile(), path);
        QCOMPARE(QFileInfo(root + "/usr/bin/velkor").symLinkTarget(), root + "/usr/lib/velkor/velkor");
        QProcess control;
        control.start("dpkg-deb", {"-f", work.filePath("package/" + debs.first()), "Depends"});
        QVERIFY(control.waitForFinished());
        const QString depends = QString::fromUtf8(control.readAll());
        for (const char *package : {"ffmpeg", "libqt6multimedia6", "gstreamer1.0-plugins-good", "libavformat59"})
            QVERIFY2(depends.contains(package), qPrintable(depends));

        // Started as an ordinary user, it makes that user's preferences and keeps running.
        const QString home = work.filePath("home");
        QVERIFY(QDir().mkpath(home));
        QFile::setPermissions(home, QFile::Permissions(0x7777));
        QProcess program;
        program.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.remove("XDG_CONFIG_HOME");
        environment.remove("XDG_DATA_HOME");
        program.setProcessEnvironment(environment);
        QStringList command{root + "/usr/bin/velkor"};
        if (unprivileged::isPrivileged())
            command = QStringList{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"} + command;
        program.start(command.first(), command.mid(1));
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(home + "/.config/velkor/Preferences.ini"), 20000);
        QVERIFY2(program.state() == QProcess::Running, program.readAll().constData());
        program.kill();
        program.waitForFinished();
        QFile::remove(home + "/.config/velkor/Preferences.ini");
    }

    // A writable file in a folder that cannot hold a temporary copy is still saved.
    void savesInAReadOnlyFolder()
    {
        if (unprivileged::isPrivileged()) {
            QVERIFY2(unprivileged::rerunAsNobody("savesInAReadOnlyFolder"), "failed as the user nobody");
            return;
        }
        QTemporaryDir dir;
        const QString file = dir.filePath("Preferences.ini");
        QVERIFY(platform::saveFileAtomically(file, "[Main]\r\n", nullptr));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        QString error;
        QVERIFY2(platform::saveFileAtomically(file, "[Main]\r\nAuto Exit=1\r\n", &error), qPrintable(error));
        QCOMPARE(contents(file), "[Main]\r\nAuto Exit=1\r\n");
        QVERIFY(!platform::saveFileAtomically(dir.filePath("new.ini"), "x", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // An output folder on a disk that is not plugged in gives way to ~/Videos for the session,
    // but stays the stored one unless the user chooses another.
    void anUnpluggedOutputFolderStaysStored()
    {
        QTemporaryDir program;
        Home home;
        QFile marker(program.filePath(preferences::SystemWideMarkerName));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        const QString usb = home.path("usb") + "/";
        const QString preferences = home.path(".config/velkor/Preferences.ini");
        QVERIFY(QDir().mkpath(home.path(".config/velkor")));
        QVERIFY(platform::saveFileAtomically(preferences, ("[Main]\r\nOutput Path=" + usb + "\r\n").toUtf8(), nullptr));
        {
            Window w(program.path() + "/");
            QCOMPARE(w.form->edtOutputdir->text(), home.path("Videos") + "/");
            w.form->close();
        }
        QVERIFY2(contents(preferences).contains(("Output Path=" + usb).toUtf8()), contents(preferences).constData());
        {
            Window w(program.path() + "/");
            QVERIFY(QDir().mkpath(home.path("chosen")));
            w.dialogs.folderToChoose = home.path("chosen");
            click(w.form->bbtnBrowser);
            w.form->close();
        }
        QVERIFY(contents(preferences).contains(("Output Path=" + home.path("chosen") + "/").toUtf8()));
    }

    // Root may write into an installed program directory, but keeps its files as shipped too.
    void systemWideInstallationIsShared()
    {
        QTemporaryDir program;
        Home home;
        const QString directory = program.path() + "/";
        QVERIFY(preferences::fileLocationsFor(directory).portable);
        QFile marker(directory + preferences::SystemWideMarkerName);
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        const preferences::FileLocations locations = preferences::fileLocationsFor(directory);
        QVERIFY(!locations.portable);
        QCOMPARE(locations.preferencesPath, home.path(".config/velkor/Preferences.ini"));
        QCOMPARE(locations.userProfilesDirectory, home.path(".local/share/velkor/Profiles"));
        QCOMPARE(locations.defaultOutputDirectory, home.path("Videos") + "/");
        // Output folders that exist and may be written are kept, the program directory is not.
        QCOMPARE(preferences::usableOutputDirectory(locations, home.path("")), home.path(""));
        QCOMPARE(preferences::usableOutputDirectory(locations, directory + "missing"), home.path("Videos") + "/");
    }
};

QTEST_MAIN(InstallTest)
#include "tst_install.moc"
