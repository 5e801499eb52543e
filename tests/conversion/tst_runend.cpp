// What the window does while a run counts its time and once it has ended: the message, the
// folder opened, the exit, the turn-off notice.
#include "conversion/batchwindow.h"
#include "core/platform/fakes/fakechildprocess.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/turnoffnotice.h"
#include "gui/settings/settingform.h"
#include "helpers/fakeprobe.h"
#include "helpers/testwindow.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

using mainform::TTurnOffNotice;

using platform::FakeRun;
using platform::FakeStart;

using namespace batchwindow;

class RunEndTest : public QObject {
    Q_OBJECT

private slots:
    void completionActions_data()
    {
        QTest::addColumn<bool>("turnOff");
        QTest::addColumn<bool>("exit");
        QTest::addColumn<bool>("openDir");
        QTest::addColumn<int>("powerOffs");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("messages");
        QTest::newRow("turn off wins") << true << true << true << 1 << true << 0;
        QTest::newRow("exit") << false << true << true << 0 << true << 0;
        QTest::newRow("message only") << false << false << false << 0 << false << 1;
    }

    void completionActions()
    {
        QFETCH(bool, turnOff);
        QFETCH(bool, exit);
        QFETCH(bool, openDir);
        Window w;
        w.add({"/v/a.avi"});
        w.form->SettingForm->chkTurnoff->setChecked(turnOff);
        w.form->SettingForm->chkExit->setChecked(exit);
        w.form->SettingForm->chkOpenDir->setChecked(openDir);
        // The message is read over the progress it sums up; the faces swap after it.
        w.dialogs.onMessage = [&w](const desktop::ShownMessage &) {
            QVERIFY(w.form->panBottomLeft->isVisible() && w.desktop.opened.isEmpty());
        };
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QVERIFY(w.form->panBottomCenter->isVisible() || !w.form->isVisible());
        if (turnOff) {
            // The computer turns off only when the notice has counted down, each second shown.
            mainform::TTurnOffNotice &notice = *w.form->TurnOffNotice;
            QVERIFY(notice.isVisible());
            QCOMPARE(notice.labCountdown->text(), "The computer will turn off in 60 seconds.");
            QCOMPARE(w.power.powerOffs, 0);
            notice.timerCountdown->setInterval(1);
            QTRY_COMPARE(notice.labCountdown->text(), "The computer will turn off in 1 second.");
            QTRY_VERIFY(!notice.isVisible());
        }
        QTEST(w.power.powerOffs, "powerOffs");
        QTEST(!w.form->isVisible(), "closed");
        QTEST(int(w.dialogs.messages.size()), "messages");
        QCOMPARE(w.desktop.opened.isEmpty(), !(openDir && !exit && !turnOff));
    }

    void turnOffCanBeCancelled()
    {
        Window w;
        w.add({"/v/a.avi"});
        w.form->SettingForm->chkTurnoff->setChecked(true);
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        mainform::TTurnOffNotice &notice = *w.form->TurnOffNotice;
        QVERIFY(notice.isVisible());
        QVERIFY(w.messageTexts().isEmpty());
        QTest::mouseClick(notice.btnCancel, Qt::LeftButton);
        QVERIFY(!notice.isVisible());
        QVERIFY(!notice.timerCountdown->isActive());
        QCOMPARE(w.power.powerOffs, 0);
        QVERIFY(w.form->isVisible());
        QVERIFY(w.form->tbtnStart->isEnabled());
    }

    // The user who comes back keeps the computer on: a new run or adding files cancels the notice.
    void turnOffNoticeGivesWayToTheUser_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Start") << "tbtnStart";
        QTest::newRow("Add Video Files") << "tbtnAddFile";
        QTest::newRow("Add Directory") << "tbtnAddDir";
    }

    void turnOffNoticeGivesWayToTheUser()
    {
        QFETCH(QString, button);
        Window w;
        w.add({"/v/a.avi"});
        w.form->SettingForm->chkTurnoff->setChecked(true);
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        mainform::TTurnOffNotice &notice = *w.form->TurnOffNotice;
        QVERIFY(notice.isCounting());
        QSignalSpy cancelled(&notice, &TTurnOffNotice::cancelled);
        QTest::mouseClick(w.form->findChild<QToolButton *>(button), Qt::LeftButton);
        QCOMPARE(cancelled.size(), 1);
        notice.timerCountdown->setInterval(1);
        QTest::qWait(200);
        QCOMPARE(w.power.powerOffs, 0);
        QVERIFY(w.form->isVisible());
    }

    // A screen reader meets the notice as a dialog whose text is the count, Cancel focused.
    void turnOffNoticeIsReadOut()
    {
        Window w;
        w.add({"/v/a.avi"});
        w.form->SettingForm->chkTurnoff->setChecked(true);
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QAccessibleInterface *notice = QAccessible::queryAccessibleInterface(w.form->TurnOffNotice.get());
        QVERIFY(notice);
        QCOMPARE(notice->role(), QAccessible::Dialog);
        QStringList texts;
        for (int i = 0; i < notice->childCount(); ++i) {
            if (notice->child(i)->role() == QAccessible::StaticText)
                texts << notice->child(i)->text(QAccessible::Name);
        }
        QCOMPARE(texts, QStringList{"The computer will turn off in 60 seconds."});
        QTRY_VERIFY(notice->focusChild());
        QCOMPARE(notice->focusChild()->role(), QAccessible::Button);
        QCOMPARE(notice->focusChild()->text(QAccessible::Name), "Cancel");
    }

    void clock()
    {
        Window w;
        w.form->pgbTotal->setValue(25);
        for (int tick = 0; tick < 60; ++tick)
            w.form->runControl().tick();
        QCOMPARE(w.form->labElapsed->text(), "00:01:00");
        QCOMPARE(w.form->labRemaining->text(), "00:03:00");
        w.form->pgbTotal->setValue(0);
        w.form->runControl().tick();
        QCOMPARE(w.form->labRemaining->text(), "00:03:00");
    }
};

std::unique_ptr<QObject> makeRunEndTest()
{
    return std::make_unique<RunEndTest>();
}

#include "tst_runend.moc"
