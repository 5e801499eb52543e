// Every video container FFmpeg reads is an input, whatever the letter case of its extension.
#include "core/tasks/inputfiles.h"
#include "gui/settings/settingform.h"
#include "helpers/testclips.h"
#include "helpers/testwindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using mainform::TMainForm;

namespace {

const QByteArray PhoneProfile =
    "[Main]\r\nType=3gp\r\nPara=2\r\n0=Video Codec\r\n1=Audio Codec\r\n"
    "[Video Codec]\r\nSort=1\r\ncmd=-c:v\r\nList=1\r\nCaption=H.263 176x144,\r\nValue=h263 -s 176x144,\r\nIndex=0\r\n"
    "[Audio Codec]\r\nSort=2\r\ncmd=-c:a\r\nList=1\r\nCaption=AAC mono,\r\nValue=aac -ac 1 -ar 8000,\r\nIndex=0\r\n";

// ".mkv" becomes ".MkV": every extension is written in a case the old lower-case test missed.
QString mixedCase(const QString &extension)
{
    QString mixed = extension;
    for (qsizetype i = 1; i < mixed.size(); i += 2)
        mixed[i] = mixed.at(i).toUpper();
    return mixed;
}

// A one-second clip of small pictures and telephone sound in the given codecs.
bool makeTinyClip(const QString &path, const QStringList &codecs)
{
    return testclips::makeClip(QStringList{"-f", "lavfi", "-i", "testsrc=size=176x144:rate=10:duration=1", "-f",
                                           "lavfi", "-i", "sine=duration=1:sample_rate=8000"} +
                               codecs + QStringList{"-shortest", path});
}

void writeText(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("a shopping list, not a film\n");
}

struct Window : testwindow::Window {
    Window() : testwindow::Window({{"Phone.vkp", PhoneProfile}}) {}
    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < form->ltvTask->topLevelItemCount(); ++row)
            texts << form->ltvTask->topLevelItem(row)->text(column);
        return texts;
    }
    void addDirectory(const QString &folder)
    {
        dialogs.folderToChoose = folder;
        QTest::mouseClick(form->tbtnAddDir, Qt::LeftButton);
        // The rows come as the probes end.
        QVERIFY(QTest::qWaitFor([this] { return !form->taskList().probingInputs(); }, 60000));
    }
};

} // namespace

class InputContainersTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;

private slots:
    void everyContainerIsAddedAndProbed()
    {
        const QString source = m_media.filePath("source.ts");
        QVERIFY(makeTinyClip(source, {"-c:v", "mpeg2video", "-c:a", "mp2"}));
        const QString folder = m_media.filePath("every container");
        QVERIFY(QDir().mkpath(folder));
        QStringList expected;
        for (const QString &extension : tasks::SupportedInputExtensions()) {
            const QString name = "clip" + mixedCase(extension);
            QVERIFY(QFile::copy(source, folder + "/" + name));
            expected << name;
        }
        writeText(folder + "/shopping.mKv");
        writeText(folder + "/shopping.txt");
        expected << "shopping.mKv";
        std::sort(expected.begin(), expected.end(),
                  [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        for (const QString &name : expected)
            QVERIFY2(tasks::HasSupportedExtension(name), qPrintable(name));

        Window w;
        w.addDirectory(folder);
        QStringList names;
        for (const QString &path : w.column(0))
            names << QFileInfo(path).fileName();
        QCOMPARE(names, expected);
        const QStringList sizes = w.column(2);
        for (int row = 0; row < names.size(); ++row)
            QCOMPARE(sizes.at(row), names.at(row).startsWith("shopping") ? QString() : QString(" 176x144"));
    }

    // Phones' 3GP, Matroska and WebM convert; a text file in a video's name fails and says so.
    void containersConvert()
    {
        const QString folder = m_media.filePath("to convert");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(makeTinyClip(folder + "/a phone.3GP", {"-c:v", "h263", "-c:a", "aac", "-ac", "1"}));
        QVERIFY(makeTinyClip(folder + "/b matroska.Mkv", {"-c:v", "mpeg4", "-c:a", "mp3"}));
        QVERIFY(makeTinyClip(folder + "/c web.webm",
                             {"-c:v", "libvpx", "-deadline", "realtime", "-c:a", "libopus", "-ar", "48000"}));
        writeText(folder + "/d notes.mkv");
        const QString output = m_media.filePath("converted");
        QVERIFY(QDir().mkpath(output));

        Window w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        w.form->edtOutputdir->setText(output);
        w.form->SettingForm->chkOpenDir->setChecked(false);
        w.addDirectory(folder);
        for (const QString &length : w.column(1).mid(0, 3))
            QVERIFY2(length.startsWith("00:00:01"), qPrintable(length));
        QCOMPARE(w.column(1).last(), QString());
        // The user has gone to another window: the end of the batch is told on the desktop.
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QTRY_VERIFY(!w.form->isActiveWindow());
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(w.form->runControl().state(), TMainForm::RunState::Idle, 120000);
        QCOMPARE(w.column(3), (QStringList{"Complete", "Complete", "Complete", "Failed"}));
        for (const char *name : {"a phone.3gp", "b matroska.3gp", "c web.3gp"})
            QVERIFY2(QFileInfo(output + "/" + name).size() > 0, name);
        QVERIFY(!QFileInfo::exists(output + "/d notes.3gp"));
        QCOMPARE(w.notifications.shown.size(), 1);
        QCOMPARE(w.notifications.shown.first().summary, "Conversion completed");
        QCOMPARE(w.notifications.shown.first().body, "3 converted, 1 failed.");

        // Watched, it tells nothing beyond the window's own message.
        w.form->activateWindow();
        QTRY_VERIFY(w.form->isActiveWindow());
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(w.form->runControl().state(), TMainForm::RunState::Idle, 120000);
        QCOMPARE(w.notifications.shown.size(), 1);
    }
};

std::unique_ptr<QObject> makeInputContainersTest()
{
    return std::make_unique<InputContainersTest>();
}
#include "tst_inputcontainers.moc"
