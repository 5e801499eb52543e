#include <fakechildprocess.h>
#include <fakedesktop.h>
#include <gridsection.h>
#include <gridsectionstack.h>
#include <keyvaluegrid.h>
#include <mainform.h>
#include <parameterstring.h>
#include <sizeform.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

namespace {

const QByteArray Awkward =
    "[Main]\r\nPara=5\r\n0=Video Size\r\n1=Level\r\n2=Bit Rate\r\n3=Title\r\n4=Codec\r\n"
    "[Video Size]\r\nSort=1\r\ncmd=-s\r\nCaption=Original Size,176x144,Custom Size,\r\nValue=,176x144,,\r\nIndex=1\r\n"
    // Same grid as the one before: no Sort of its own.
    "[Level]\r\ncmd=-level\r\nList=0\r\nReadOnly=1\r\nCaption=Main\r\nValue=3.0\r\n"
    "[Bit Rate]\r\nSort=1\r\ncmd=-b:v\r\nList=0\r\nCaption=300k\r\n"
    "[Title]\r\nSort=3\r\nList=0\r\nCaption=no switch\r\n"
    // A pick list marked ReadOnly 0 is still choose-only; no final comma drops the last caption.
    "[Codec]\r\nSort=2\r\nReadOnly=0\r\ncmd=-c:a\r\nCaption=AAC,aac,MP3\r\nValue=aac,AAC-LC,mp3\r\nIndex=1\r\n";

void write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

struct Window {
    QTemporaryDir programDir;
    platform::FakeProcessLauncher processes;
    platform::FakeDialogs dialogs;
    platform::FakeDesktop desktop;
    platform::FakePowerControl power;
    platform::Services services{processes, dialogs, desktop, power};
    std::unique_ptr<TMainForm> form;

    void open()
    {
        form = std::make_unique<TMainForm>(services, programDir.path());
        form->show();
    }
    void choose(const QString &name)
    {
        form->cmbProfile->setCurrentIndex(form->cmbProfile->findText(name));
        form->cmbProfileChange();
    }
    QStringList keys(profiles::KeyValueGrid *grid) const
    {
        QStringList found;
        for (int row = 0; row < grid->rowCount(); ++row)
            found << grid->key(row) + "=" + grid->value(row);
        return found;
    }
};

} // namespace

class ProfileGridsTest : public QObject {
    Q_OBJECT

private slots:
    void awkwardProfilesLoad()
    {
        Window w;
        QDir(w.programDir.path()).mkdir("Profiles");
        write(w.programDir.filePath("Profiles/AWKWARD.VKP"), Awkward);
        write(w.programDir.filePath("Profiles/my.two.vkp"), "[Main]\r\nType=avi\r\n");
        write(w.programDir.filePath("Profiles/notes.txt"), "");
        w.open();
        QStringList names;
        for (int i = 0; i < w.form->cmbProfile->count(); ++i)
            names << w.form->cmbProfile->itemText(i);
        names.sort();
        QCOMPARE(names, (QStringList{"AWKWARD", "my.two"}));

        w.choose("AWKWARD"); // found again although its extension is in capitals
        QCOMPARE(w.form->outputExtension(), ".mp4");
        QCOMPARE(w.keys(w.form->vleVideo), (QStringList{"Video Size=176x144", "Level=Main", "Bit Rate=300k"}));
        QCOMPARE(w.keys(w.form->vleAudio), QStringList{"Codec=aac"});
        QCOMPARE(w.form->vleAudio->pickList(0), (QStringList{"AAC", "aac"}));
        QVERIFY(w.form->vleAudio->isReadOnly(0));
        QVERIFY(w.form->vleVideo->isFixed(1) && !w.form->vleVideo->isFixed(2));
        QCOMPARE(w.form->vleVideo->height(), 3 * 18);
        QCOMPARE(w.form->vleAdvanced->height(), 18);

        // Fixed passes the file's value, free what the grid shows; the earlier of two captions
        // differing in case gives its value; no switch adds nothing.
        const auto parameters = [&w] {
            return profiles::BuildParameterString(w.form->profilePathOf(w.form->cmbProfile->currentIndex()),
                                                  profiles::ShownValueOf(w.form->parameterGrids()));
        };
        QCOMPARE(parameters(), " -s 176x144 -level 3.0 -b:v 300k -c:a aac");
        w.form->vleVideo->setValue(0, "Original Size");
        w.form->vleVideo->setValue(2, "");
        QCOMPARE(parameters(), " -level 3.0 -c:a aac");
        w.form->vleVideo->setValue(0, "320x200");
        QCOMPARE(parameters(), " -s 320x200 -level 3.0 -c:a aac");

        w.choose("my.two");
        QCOMPARE(w.form->outputExtension(), ".avi");
        QCOMPARE(w.form->vleVideo->rowCount(), 0);
        QCOMPARE(w.form->vleVideo->height(), 18);
    }

    // A damaged profile is named in a message, leaves the grids as they were and starts nothing.
    void damagedProfilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::newRow("index outside") << QByteArray("[Main]\nPara=1\n0=A\n[A]\nSort=1\nCaption=x,y,\nValue=1,2,\nIndex=5\n");
        QTest::newRow("first sort") << QByteArray("[Main]\nPara=1\n0=A\n[A]\nSort=7\nCaption=x,\nValue=1,\n");
        QTest::newRow("para too large") << QByteArray("[Main]\nPara=3\n0=A\n[A]\nSort=1\nCaption=x,\nValue=1,\n");
        QTest::newRow("values short") << QByteArray("[Main]\nPara=1\n0=A\n[A]\nSort=1\nCaption=x,y,\nValue=1,\nIndex=1\n");
    }
    void damagedProfilesAreRefused()
    {
        QFETCH(QByteArray, profile);
        Window w;
        QDir(w.programDir.path()).mkdir("Profiles");
        write(w.programDir.filePath("Profiles/bad.vkp"), profile);
        w.open();
        QVERIFY(w.dialogs.messages.size() >= 1);
        QVERIFY(w.dialogs.messages.last().text.contains("bad.vkp"));
        QCOMPARE(w.form->vleVideo->key(0), "Video Codec"); // the designed rows stay
        w.form->AddInputFile("/v/a.avi");
        w.form->EnableListButtonsIfTasks();
        const auto before = w.dialogs.messages.size();
        w.form->tbtnStart->click();
        QCOMPARE(w.dialogs.messages.size(), before + 1);
        QVERIFY(w.dialogs.messages.last().text.contains("bad.vkp"));
        QCOMPARE(w.form->runState(), TMainForm::RunState::Idle);
        QVERIFY(w.form->tbtnStart->isEnabled());
        QCOMPARE(w.processes.starts.size(), 1); // the probe only
    }

    void sectionsCollapseAndExpand()
    {
        Window w;
        w.open();
        const auto sections = w.form->profileSections->sections();
        QCOMPARE(sections.size(), 4);
        profiles::GridSection *output = sections.at(0);
        profiles::GridSection *video = sections.at(1);
        video->button()->click();
        QCOMPARE(video->grid()->height(), 1);
        QCOMPARE(video->button()->text(), "+");
        video->button()->click();
        QCOMPARE(video->grid()->height(), 6 * 17 + 6 + 1);
        output->button()->click();
        output->button()->click();
        QCOMPARE(output->grid()->height(), 55);
    }

    void customSize()
    {
        Window w;
        QDir(w.programDir.path()).mkdir("Profiles");
        write(w.programDir.filePath("Profiles/a.vkp"), Awkward);
        w.open();
        QCOMPARE(w.form->vleVideo->valueOf("Video Size"), "176x144");
        TSizeForm &size = *w.form->SizeForm;
        w.form->vleVideo->setCurrentCell(0, 1);
        w.form->vleVideo->choosePickListEntry(0, "Custom Size");
        QVERIFY(size.isVisible());
        QVERIFY(!w.form->isEnabled());
        size.edtWidth->setText("abc");
        size.edtHeight->setText("240");
        size.btnOK->click();
        QCOMPARE(w.dialogs.messages.last().caption, "Incorrect Width");
        QVERIFY(size.isVisible());
        QCOMPARE(w.form->vleVideo->valueOf("Video Size"), "Custom Size");
        size.edtWidth->setText(" 320");
        size.btnOK->click();
        QVERIFY(!size.isVisible());
        QVERIFY(w.form->isEnabled());
        QCOMPARE(w.form->vleVideo->valueOf("Video Size"), " 320x240");

        w.form->vleVideo->choosePickListEntry(0, "Custom Size");
        QCOMPARE(size.edtWidth->text(), " 320"); // the texts stay from one opening to the next
        size.btnCancel->click();
        QCOMPARE(w.form->vleVideo->valueOf("Video Size"), "Original Size");
    }
};

std::unique_ptr<QObject> makeProfileGridsTest()
{
    return std::make_unique<ProfileGridsTest>();
}

#include "tst_profilegrids.moc"
