#include <dialogfilter.h>
#include <inputfiles.h>
#include <fakechildprocess.h>
#include <fakedesktop.h>
#include <mainform.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct FakeServices {
    platform::FakeProcessLauncher processes;
    platform::FakeDialogs dialogs;
    platform::FakeDesktop desktop;
    platform::FakePowerControl power;
    platform::Services services{processes, dialogs, desktop, power};
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
        TMainForm form(fakes.services, programDir.path());
        QTEST(form.windowTitle(), "caption");
        QCOMPARE(form.size(), QSize(798, 542));
    }

    void programDirectoryEndsInOneDelimiter_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("programDirectory");
        QTest::newRow("plain") << "/opt/velkor" << "/opt/velkor/";
        QTest::newRow("with delimiter") << "/opt/velkor/" << "/opt/velkor/";
        QTest::newRow("root") << "/" << "/";
        QTest::newRow("empty stays empty") << "" << "";
    }
    void programDirectoryEndsInOneDelimiter()
    {
        QFETCH(QString, directory);
        const app::ProgramValues values = app::programValuesFor(directory);
        QTEST(values.programDirectory, "programDirectory");
        QCOMPARE(values.encoderPath, values.programDirectory + "wmaspi.dll");
    }

    void openDialogFilter()
    {
        QCOMPARE(tasks::SupportedFilesMask(), "*.avi;*.mpg;*.mpeg;*.mp4;*.wmv;*.mov;*.vob;*.asf;");
        QCOMPARE(app::OpenDialogFilter(),
                 "All Support Files(*.avi;*.mpg;*.mpeg;*.mp4;*.wmv;*.mov;*.vob;*.asf;)|"
                 "*.avi;*.mpg;*.mpeg;*.mp4;*.wmv;*.mov;*.vob;*.asf;|AVI Files (*.avi)|*.avi|MPG Files (*.mpg)|*.mpg|"
                 "MPEG Files (*.mpeg)|*.mpeg|MP4 Files (*.mp4)|*.mp4|WMV Files (*.wmv)|*.wmv|MOV Files (*.mov)|*.mov|"
                 "VOB Files (*.vob)|*.vob|ASF Files (*.asf)|*.asf|All Files (*.*)|*.*");
        // Qt's dialog reads the patterns from the last parentheses, blank-separated.
        const QStringList qtFilters = platform::qtNameFilters(app::OpenDialogFilter()).split(";;");
        QCOMPARE(qtFilters.size(), 10);
        QCOMPARE(qtFilters.first(), "All Support Files(*.avi *.mpg *.mpeg *.mp4 *.wmv *.mov *.vob *.asf)");
        QCOMPARE(qtFilters.at(1), "AVI Files (*.avi)");
        QCOMPARE(qtFilters.last(), "All Files (*)");
    }
};

QTEST_MAIN(AppTest)
#include "tst_app.moc"
