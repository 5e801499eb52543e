// A run held and let go from the toolbar, stopped while held, and told to stop after the files
// converting now from Stop's menu.
#include "conversion/batchwindow.h"
#include "gui/settings/settingform.h"
#include "helpers/processalive.h"
#include "helpers/processstat.h"
#include "helpers/testclips.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>

using namespace batchwindow;

namespace {

// FFmpeg's realtime filter paces a conversion to the clip's own length: long enough to hold it.
const QByteArray PacedProfile =
    QByteArray(testwindow::PhoneProfile)
        .replace("Para=2", "Para=3")
        .replace("1=Audio Codec\r\n", "1=Audio Codec\r\n2=Video Filter\r\n") +
    "[Video Filter]\r\nSort=3\r\nReadOnly=1\r\ncmd=-vf\r\nList=0\r\nCaption=realtime\r\nValue=realtime\r\n";

// The group of the encoder converting: a child of ours that leads a group with its FFmpeg in it.
qint64 encoderGroup()
{
    for (const qint64 pid : processstat::processesWith(4, QCoreApplication::applicationPid())) {
        if (processstat::field(pid, 5).toLongLong() == pid && processstat::groupMembers(pid).size() >= 2)
            return pid;
    }
    return 0;
}

// The next file's encoder, started ahead of its turn: alone in a group of its own until let go.
qint64 waitingEncoder()
{
    for (const qint64 pid : processstat::processesWith(4, QCoreApplication::applicationPid())) {
        if (processstat::field(pid, 5).toLongLong() == pid && processstat::groupMembers(pid).size() == 1)
            return pid;
    }
    return 0;
}

bool wholeGroupHeld(qint64 group)
{
    const QList<qint64> members = processstat::groupMembers(group);
    // The encoder and its FFmpeg.
    return members.size() >= 2 &&
           std::all_of(members.cbegin(), members.cend(), [](qint64 pid) { return processstat::state(pid) == 'T'; });
}

QByteArray videoDigest(const QString &file)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-i", file, "-map", "0:v", "-c", "copy", "-f", "md5", "-"});
    ffmpeg.waitForFinished(60000);
    return ffmpeg.readAllStandardOutput().trimmed();
}

} // namespace

class RunPauseTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;

    static QString status(const testwindow::Window &w, int row)
    {
        return w.form->ltvTask->topLevelItem(row)->text(tasks::columnOf(tasks::SelectStatus));
    }

    static void clickStopAfterCurrent(mainform::TMainForm &form)
    {
        QTimer::singleShot(0, &form, [&form] {
            QMenu *menu = form.ppmStop;
            QTRY_VERIFY(menu->isVisible());
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(form.mniStopAfterCurrent).center());
        });
        // The arrow at Stop's right edge opens its menu.
        QToolButton *stop = form.tbtnStop;
        QTest::mouseClick(stop, Qt::LeftButton, {}, QPoint(stop->width() - 3, stop->height() / 2));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(testclips::makeClip(m_media.filePath("a.avi"), 1.5));
        for (const char *copy : {"b.avi", "c.avi", "d.avi"})
            QVERIFY(QFile::copy(m_media.filePath("a.avi"), m_media.filePath(copy)));
    }

    // Held, every process of the encoder's group stops where it is, at the window's low
    // priority, and the clock and the bars stand; let go, the file converts to the same video
    // as one never held. Stop while held leaves neither a process nor a partial file.
    void pauseResumeAndStopWhilePaused()
    {
        testwindow::Window w({{"Paced.vkp", PacedProfile}});
        QTemporaryDir output;
        w.form->show();
        w.form->edtOutputdir->setText(output.path());
        w.add({m_media.filePath("a.avi"), m_media.filePath("b.avi"), m_media.filePath("c.avi"),
               m_media.filePath("d.avi")});
        QToolButton *pause = w.form->tbtnPause;
        QVERIFY(!pause->isEnabled());
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(status(w, 1) == "Converting" && w.form->pgbCurrent->value() > 0, 30000);
        QTest::mouseClick(pause, Qt::LeftButton);
        QCOMPARE(pause->accessibleName(), "Resume");
        QCOMPARE(pause->text(), "Resume");
        const qint64 group = encoderGroup();
        QTRY_VERIFY_WITH_TIMEOUT(wholeGroupHeld(group), 5000);
        for (const qint64 pid : processstat::groupMembers(group)) {
            for (const qint64 nice : processstat::threadFields(pid, processstat::NiceField))
                QCOMPARE(nice, qint64(10));
        }
        QCOMPARE(status(w, 1), "Paused");
        QCOMPARE(w.power.heldLocks, 0);
        const auto shown = [&w] {
            return QStringList{w.form->labElapsed->text(), w.form->labRemaining->text(),
                               QString::number(w.form->pgbCurrent->value()),
                               QString::number(w.form->pgbTotal->value())};
        };
        const QStringList held = shown();
        QElapsedTimer waited;
        waited.start();
        QTRY_VERIFY_WITH_TIMEOUT(waited.elapsed() > 1500, 5000);
        QCOMPARE(shown(), held);

        QTest::mouseClick(pause, Qt::LeftButton);
        QCOMPARE(pause->accessibleName(), "Pause");
        QCOMPARE(w.power.heldLocks, 1);
        QTRY_VERIFY_WITH_TIMEOUT(
            status(w, 1) == "Complete" && status(w, 2) == "Converting" && w.form->pgbCurrent->value() > 0, 30000);
        QTest::mouseClick(pause, Qt::LeftButton);
        const qint64 last = encoderGroup();
        QTRY_VERIFY_WITH_TIMEOUT(wholeGroupHeld(last), 5000);
        QList<qint64> members = processstat::groupMembers(last);
        members << waitingEncoder();
        QVERIFY(members.last() > 0);
        QTest::mouseClick(w.form->tbtnStop, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w.form->runIsIdle(), 10000);
        QCOMPARE(w.messageTexts(), QStringList{"The Coversion is canceled."});
        QCOMPARE(status(w, 2), "Stop");
        for (const qint64 pid : members)
            QTRY_VERIFY_WITH_TIMEOUT(!testprocess::processAlive(pid), 5000);
        QCOMPARE(QDir(output.path()).entryList(QDir::Files), (QStringList{"a.3gp", "b.3gp"}));
        QVERIFY(!videoDigest(output.filePath("a.3gp")).isEmpty());
        QCOMPARE(videoDigest(output.filePath("b.3gp")), videoDigest(output.filePath("a.3gp")));
        QVERIFY(!pause->isEnabled());
    }

    // Two jobs, four tasks, held as the second starts: both finish once let go, the others
    // stay to be converted later, and no completion action follows.
    void stopAfterCurrent()
    {
        Window w;
        w.add({"/v/a.avi", "/v/b.avi", "/v/c.avi", "/v/d.avi"});
        QTest::mouseClick(w.form->tbtnSetting, Qt::LeftButton);
        QTest::keyClick(w.form->SettingForm->spnJobs, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w.form->SettingForm->spnJobs, "2");
        QTest::mouseClick(w.form->SettingForm->chkExit, Qt::LeftButton);
        QTest::mouseClick(w.form->SettingForm->btnOK, Qt::LeftButton);
        connect(&w.form->runControl().batchRun(), &conversion::BatchRun::taskStarted, this, [&w](int row) {
            if (row == 1)
                QTest::mouseClick(w.form->tbtnPause, Qt::LeftButton);
        });
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QTRY_COMPARE(w.statuses(), (QStringList{"Paused", "Paused", "OK", "OK"}));
        QCOMPARE(w.fakeProcesses.held, 2);
        clickStopAfterCurrent(*w.form);
        QVERIFY(w.form->runControl().batchRun().finishingCurrent());
        QTest::mouseClick(w.form->tbtnPause, Qt::LeftButton);
        QTRY_VERIFY(w.form->runIsIdle());
        QCOMPARE(w.statuses(), (QStringList{"Complete", "Complete", "OK", "OK"}));
        QCOMPARE(w.outputFiles(), (QStringList{"a.3gp", "b.3gp"}));
        QCOMPARE(w.messageTexts(), QStringList{"The conversion was stopped after the current files. The other "
                                               "files are left to be converted later."});
        QVERIFY(w.form->isVisible());
        QCOMPARE(w.power.powerOffs, 0);
    }

    // A disk too full for the first file holds the run before it starts, says so in a notice
    // that leaves the window free and on the desktop; Resume still short holds it again, and
    // with room goes on.
    void heldForWantOfRoom()
    {
        Window w;
        w.add({"/v/a.avi"});
        w.freeSpace.fallback = 10 * 1000 * 1000;
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QTRY_COMPARE(w.form->tbtnPause->text(), "Resume");
        const QString text = "Paused: 10 MB left on " + w.freeSpace.asked.last() + "; free some space and press Resume";
        auto *notice = w.form->findChild<QMessageBox *>("lowSpaceNotice");
        QVERIFY(notice && notice->isVisible() && !notice->isModal());
        QCOMPARE(notice->text(), text);
        QCOMPARE(w.notifications.shown.size(), 1);
        QCOMPARE(w.notifications.shown.first().body, text);
        QVERIFY(w.conversionArguments().isEmpty());
        QTest::mouseClick(w.form->tbtnPause, Qt::LeftButton);
        QTRY_COMPARE(w.notifications.shown.size(), 2);
        QCOMPARE(w.form->tbtnPause->text(), "Resume");
        w.freeSpace.fallback = qint64(1) << 40;
        QTest::mouseClick(w.form->tbtnPause, Qt::LeftButton);
        QTRY_VERIFY(w.form->runIsIdle());
        QCOMPARE(w.outputFiles(), QStringList{"a.3gp"});
        QTRY_VERIFY(!w.form->findChild<QMessageBox *>("lowSpaceNotice"));
    }
};

std::unique_ptr<QObject> makeRunPauseTest()
{
    return std::make_unique<RunPauseTest>();
}

#include "tst_runpause.moc"
