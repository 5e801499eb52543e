#include "core/platform/fakes/fakechildprocess.h"
#include "core/tasks/timetext.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/tasklistrows.h"
#include "helpers/testwindow.h"

#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <limits>
#include <memory>

using mainform::TMainForm;

namespace {
struct PaintedRegion : QObject {
    QRegion region;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};
} // namespace

using namespace tasks;

class TasksTest : public QObject {
    Q_OBJECT

private slots:
    void secondsToTimeText_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "00:00:00";
        QTest::newRow("unset start") << -1.0 << "00:00:-01";
        QTest::newRow("hms") << 3723.0 << "01:02:03";
        QTest::newRow("hundred hours") << 360000.0 << "100:00:00";
        QTest::newRow("tenths") << 83.4 << "00:01:23.4";
        QTest::newRow("half to even down") << 0.25 << "00:00:00.2";
        QTest::newRow("half to even up") << 0.75 << "00:00:00.8";
        QTest::newRow("seconds truncated") << 59.94 << "00:00:59.9";
        QTest::newRow("carry into minute") << 59.96 << "00:01:00";
        QTest::newRow("carry into hour") << 3599.97 << "01:00:00";
        QTest::newRow("carry into second") << 7.99 << "00:00:08";
        QTest::newRow("beyond any input") << 1e300 << "2501999792983:36:32";
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "2501999792983:36:32";
        QTest::newRow("no number") << std::numeric_limits<double>::quiet_NaN() << "00:00:-01";
    }
    void secondsToTimeText()
    {
        QFETCH(double, seconds);
        QTEST(SecondsToTimeText(seconds), "text");
    }

    void timeTextToSeconds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("seconds");
        QTest::newRow("start") << "00:00:00.0" << 0.0;
        QTest::newRow("tenths") << "00:01:23.4" << 83.4;
        QTest::newRow("unranged minutes") << "0:90:00" << 5400.0;
        QTest::newRow("single digits") << "1:2:3" << 3723.0;
        QTest::newRow("hundredths") << "00:00:07.25" << 7.25;
        QTest::newRow("unset start") << "00:00:-01" << -1.0;
        QTest::newRow("empty") << "" << -1.0;
        QTest::newRow("one colon") << "12:34" << -1.0;
        QTest::newRow("leading point") << "00:00:.5" << -1.0;
        QTest::newRow("letters in hours") << "ab:00:00" << -1.0;
        QTest::newRow("letters in minutes") << "00:x1:00" << -1.0;
        QTest::newRow("nothing after colon") << "00:00:" << -1.0;
        QTest::newRow("third colon") << "01:02:03:04" << -1.0;
        QTest::newRow("comma is no point") << "00:00:01,5" << -1.0;
    }
    void timeTextToSeconds()
    {
        QFETCH(QString, text);
        QFETCH(double, seconds);
        QCOMPARE(TimeTextToSeconds(text), seconds);
    }

    // Whatever a time text is turned into reads back as the same tenths.
    void timeTextRoundTrip()
    {
        for (int tenths = -10; tenths < 4000; tenths += 7) {
            const double seconds = tenths / 10.0 + 0.049;
            const QString text = SecondsToTimeText(seconds);
            if (seconds >= 0)
                QCOMPARE(qRound(TimeTextToSeconds(text) * 10), qRound(seconds * 10 - 0.49));
        }
    }

    void stripExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stripped");
        QTest::newRow("plain") << "clip.avi"
                               << "clip";
        QTest::newRow("two dots") << "my.clip.avi"
                                  << "my.clip";
        QTest::newRow("no dot") << "clip"
                                << "clip";
        QTest::newRow("only extension") << ".avi"
                                        << "";
    }
    void stripExtension()
    {
        QFETCH(QString, name);
        QTEST(StripExtension(name), "stripped");
    }

    // The selectors move exactly the parts they name between a real task row and a record.
    void taskRowSelectors()
    {
        QTemporaryDir programDir;
        testwindow::FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        form.ltvTask->addTopLevelItem(new mainform::TaskRow);

        ltvItemData full;
        full.InputFile = "/v/clip.avi";
        full.LengthText = "00:01:00";
        full.SizeText = " 320x240";
        full.Status = "OK";
        full.NewName = "clip";
        full.OutputExt = ".3gp";
        full.SourceStartText = ZeroTimeText;
        full.SourceEndText = "00:01:00";
        full.SpanText = "00:00:50";
        full.StartText = "00:00:10";
        full.EndText = "00:01:00";
        full.LengthSec = 999; // seconds never reach the row
        form.WriteTask(0, SelectWholeRow, full);
        QCOMPARE(form.ltvTask->topLevelItem(0)->text(0), "/v/clip.avi");
        QCOMPARE(form.ltvTask->topLevelItem(0)->text(tasks::columnOf(tasks::SelectStatus)), "OK");
        QVERIFY(form.ltvTask->isColumnHidden(4) && form.ltvTask->isColumnHidden(10));
        QVERIFY(!form.ltvTask->isColumnHidden(3));

        ltvItemData read;
        form.ReadTask(0, SelectWholeRow, read);
        QCOMPARE(read.EndText, "00:01:00");
        QCOMPARE(read.LengthSec, 60.0);
        QCOMPARE(read.SpanSec, 50.0);
        QCOMPARE(read.StartSec, 10.0);
        QCOMPARE(read.SourceStartSec, 0.0);

        ltvItemData one;
        form.ReadTask(0, tasks::SelectSize, one);
        QCOMPARE(one.SizeText, " 320x240");
        QVERIFY(one.InputFile.isEmpty() && one.Status.isEmpty() && one.LengthText.isEmpty());
        QCOMPARE(one.LengthSec, 0.0);

        ltvItemData length;
        form.ReadTask(0, tasks::SelectLength, length);
        QCOMPARE(length.LengthText, "00:01:00");
        QCOMPARE(length.LengthSec, 60.0);
        QCOMPARE(length.SpanSec, 0.0);

        ltvItemData caption;
        caption.InputFile = "/v/other.avi";
        caption.Status = "Complete";
        form.WriteTask(0, SelectCaption, caption);
        form.ReadTask(0, SelectWholeRow, read);
        QCOMPARE(read.InputFile, "/v/other.avi");
        QCOMPARE(read.Status, "OK");

        ltvItemData status;
        status.Status = "Converting";
        form.WriteTask(0, tasks::SelectStatus, status);
        form.WriteTask(0, 11, caption); // no such selector: nothing changes
        form.WriteTask(0, -3, caption);
        form.ReadTask(0, SelectWholeRow, read);
        QCOMPARE(read.Status, "Converting");
        QCOMPARE(read.InputFile, "/v/other.avi");
        QCOMPARE(read.NewName, "clip");

        ltvItemData noLength = full;
        noLength.LengthText.clear();
        form.WriteTask(0, tasks::SelectLength, noLength);
        form.ReadTask(0, SelectWholeRow, read);
        QCOMPARE(read.LengthSec, -1.0);
        QCOMPARE(read.SpanSec, 50.0);
    }

    // A row's new status repaints that row, every shown cell of it, and leaves the others be.
    void statusChangeRepaintsItsRow()
    {
        QTemporaryDir programDir;
        testwindow::FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        QTreeWidget *list = form.ltvTask;
        for (int row = 0; row < 6; ++row) {
            ltvItemData task;
            task.InputFile = QStringLiteral("/v/clip %1.avi").arg(row);
            task.Status = QStringLiteral("Ready");
            list->addTopLevelItem(new mainform::TaskRow);
            form.WriteTask(row, SelectWholeRow, task);
        }
        // As adding files leaves it: the list shows instead of the welcome panel over it.
        form.panbg->hide();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Whatever the list had still to lay out or paint is done first.
        list->doItemsLayout();
        list->viewport()->repaint();
        PaintedRegion painted;
        list->viewport()->installEventFilter(&painted);

        ltvItemData status;
        status.Status = QStringLiteral("Converting 40%");
        form.WriteTask(4, tasks::SelectStatus, status);
        QTRY_VERIFY(!painted.region.isEmpty());
        const QModelIndex changed = list->model()->index(4, tasks::columnOf(tasks::SelectStatus));
        QVERIFY(painted.region.contains(list->visualRect(changed)));
        QVERIFY(painted.region.contains(list->visualRect(changed.siblingAtColumn(0))));
        QVERIFY(!painted.region.intersects(list->visualRect(changed.siblingAtRow(1))));
    }
};

std::unique_ptr<QObject> makeTasksTest()
{
    return std::make_unique<TasksTest>();
}
#include "tst_tasks.moc"
