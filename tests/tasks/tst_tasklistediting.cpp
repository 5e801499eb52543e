#include "core/platform/fakes/fakechildprocess.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/mainform/mainform.h"
#include "gui/widgets/balloontip.h"
#include "helpers/fakeprobe.h"
#include "helpers/testwindow.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

namespace {

// A window whose encoder reports every input as a minute of 320x240 video.
struct Window : testwindow::Window {
    explicit Window(const QString &duration = "00:01:00") : testwindow::Window({}, testwindow::Encoder::Fake)
    {
        fakeProcesses.responder = [duration](const platform::FakeStart &start) {
            return testprobe::probeRun(start, [&duration](const QString &path) {
                return ("Input #0, avi, from '" + path + "':\n  Duration: " + duration +
                        ", start: 0.000000, bitrate: 1 kb/s\n    Stream #0.0: Video: mpeg4, yuv420p, 320x240, 25 fps\n")
                    .toUtf8();
            });
        };
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // A left click at a point of the list's viewport, as the user makes it.
    void click(QPoint at) { QTest::mouseClick(form->ltvTask->viewport(), Qt::LeftButton, {}, at); }
    void clickRow(int row) { click(form->ltvTask->visualItemRect(form->ltvTask->topLevelItem(row)).center()); }
    void add(const QStringList &names)
    {
        for (const QString &name : names)
            form->taskList().AddInputFile("/v/" + name + ".avi");
        QVERIFY(QTest::qWaitFor([this] { return !form->taskList().probingInputs(); }, 60000));
        form->EnableListButtonsIfTasks();
    }
    QString order() const
    {
        QString rows;
        for (int row = 0; row < form->ltvTask->topLevelItemCount(); ++row) {
            const QTreeWidgetItem *item = form->ltvTask->topLevelItem(row);
            rows += QFileInfo(item->text(0)).baseName() + (item->isSelected() ? "*" : "");
        }
        return rows;
    }
    void select(const QString &names)
    {
        form->ltvTask->clearSelection();
        for (int row = 0; row < form->ltvTask->topLevelItemCount(); ++row) {
            QTreeWidgetItem *item = form->ltvTask->topLevelItem(row);
            if (names.contains(QFileInfo(item->text(0)).baseName()))
                item->setSelected(true);
        }
    }
    QString output(const QString &key) const { return form->vleOutput->valueOf(key); }
    ltvItemData task(int row) const
    {
        ltvItemData record;
        form->ReadTask(row, tasks::SelectWholeRow, record);
        return record;
    }
    void type(const QString &name, const QString &start, const QString &end)
    {
        form->SetGridValue(0, "New Filename", name);
        form->SetGridValue(0, "Start Time", start);
        form->SetGridValue(0, "End Time", end);
        form->vleOutputValidate();
    }
};

} // namespace

class TaskListEditingTest : public QObject {
    Q_OBJECT

private slots:
    void moves_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("order");
        QTest::newRow("up last") << "Z" << true << "XZ*Y";
        QTest::newRow("down first") << "X" << false << "YX*Z";
        QTest::newRow("up block") << "YZ" << true << "Y*Z*X";
        QTest::newRow("down block") << "XY" << false << "ZX*Y*";
        QTest::newRow("up block at the top stays") << "XY" << true << "X*Y*Z";
        QTest::newRow("down block at the bottom stays") << "YZ" << false << "XY*Z*";
        QTest::newRow("up top and bottom") << "XZ" << true << "X*Z*Y";
        QTest::newRow("up nothing selected") << "" << true << "XYZ";
        QTest::newRow("down nothing selected") << "" << false << "XYZ";
    }
    void moves()
    {
        QFETCH(QString, selected);
        QFETCH(bool, up);
        Window w;
        w.add({"X", "Y", "Z"});
        w.form->ltvTask->topLevelItem(0)->setText(3, "Complete"); // whole rows move, status included
        w.select(selected);
        (up ? w.form->tbtnUp : w.form->tbtnDown)->click();
        QTEST(w.order(), "order");
        const int x = w.order().remove('*').indexOf('X');
        QCOMPARE(w.task(x).Status, "Complete");
        QCOMPARE(w.task(x).NewName, "X");
    }

    void removeAndClear()
    {
        Window w;
        w.add({"A", "B", "C", "D", "E"});
        w.clickRow(0);
        QCOMPARE(w.output("New Filename"), "A");
        w.select("BD");
        w.form->tbtnRemove->click();
        QCOMPARE(w.order(), "ACE");
        QCOMPARE(w.output("New Filename"), "");
        QVERIFY(w.form->tbtnRemove->isEnabled() && w.form->tbtnStart->isEnabled());

        // Delete with nothing selected removes nothing but empties the settings.
        w.clickRow(1);
        QCOMPARE(w.output("New Filename"), "C");
        w.form->ltvTask->clearSelection();
        w.form->ltvTask->setFocus();
        QTest::keyClick(w.form->ltvTask, Qt::Key_Delete);
        QCOMPARE(w.order(), "ACE");
        QCOMPARE(w.output("Start Time"), "");

        w.select("ACE");
        QTest::keyClick(w.form->ltvTask, Qt::Key_Delete);
        QCOMPARE(w.order(), "");
        QVERIFY(!w.form->tbtnRemove->isEnabled() && !w.form->tbtnStart->isEnabled());

        w.add({"F", "G"});
        QTest::keyClick(w.form->ltvTask, Qt::Key_Backspace);
        QCOMPARE(w.order(), "");
        QVERIFY(!w.form->tbtnClear->isEnabled());
        QVERIFY(!w.form->panbg->isVisibleTo(w.form.get()));
    }

    void outputSettings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QString>("outputExt");
        QTest::addColumn<QString>("startText");
        QTest::addColumn<QString>("endText");
        QTest::addColumn<QString>("spanText");
        QTest::newRow("part of a minute") << "clip.3gp"
                                          << "00:00:10"
                                          << "00:00:20"
                                          << "clip"
                                          << ".3gp"
                                          << "00:00:10"
                                          << "00:00:20"
                                          << "00:00:10";
        QTest::newRow("start after end") << "clip.3gp"
                                         << "00:00:30"
                                         << "00:00:20"
                                         << "clip"
                                         << ".3gp"
                                         << "00:00:00"
                                         << "00:00:20"
                                         << "00:00:20";
        // The start is tested against the typed end before that falls back.
        QTest::newRow("end of 0") << "clip.3gp"
                                  << "00:00:05"
                                  << "00:00:00"
                                  << "clip"
                                  << ".3gp"
                                  << "00:00:00"
                                  << "00:01:00"
                                  << "00:01:00";
        QTest::newRow("no time") << "clip.3gp"
                                 << "soon"
                                 << "later"
                                 << "clip"
                                 << ".3gp"
                                 << "00:00:00"
                                 << "00:01:00"
                                 << "00:01:00";
        QTest::newRow("end beyond the input") << "clip.3gp"
                                              << "00:00:00"
                                              << "00:02:00"
                                              << "clip"
                                              << ".3gp"
                                              << "00:00:00"
                                              << "00:02:00"
                                              << "00:02:00";
        QTest::newRow("name without extension") << "clip2"
                                                << "00:00:00"
                                                << "00:01:00"
                                                << "clip2"
                                                << ""
                                                << "00:00:00"
                                                << "00:01:00"
                                                << "00:01:00";
        QTest::newRow("name with a directory") << "../elsewhere.3gp"
                                               << "00:00:00"
                                               << "00:01:00"
                                               << "X"
                                               << ""
                                               << "00:00:00"
                                               << "00:01:00"
                                               << "00:01:00";
        // Hours beyond what the time text reads back would make the span malformed.
        QTest::newRow("end far beyond any input") << "clip.3gp"
                                                  << "00:00:00"
                                                  << "00:00:1e13"
                                                  << "clip"
                                                  << ".3gp"
                                                  << "00:00:00"
                                                  << "00:01:00"
                                                  << "00:01:00";
        QTest::newRow("tenths") << "x.mp4"
                                << "00:00:01.25"
                                << "00:00:59.96"
                                << "x"
                                << ".mp4"
                                << "00:00:01.2"
                                << "00:01:00"
                                << "00:00:58.7";
    }
    void outputSettings()
    {
        Window w;
        w.add({"X"});
        w.clickRow(0);
        QCOMPARE(w.output("New Filename"), "X");
        QCOMPARE(w.output("Start Time"), "00:00:00.0");
        QCOMPARE(w.output("End Time"), "00:01:00");
        QFETCH(QString, name);
        QFETCH(QString, start);
        QFETCH(QString, end);
        w.type(name, start, end);
        const ltvItemData task = w.task(0);
        QTEST(task.NewName, "newName");
        QTEST(task.OutputExt, "outputExt");
        QTEST(task.StartText, "startText");
        QTEST(task.EndText, "endText");
        QTEST(task.SpanText, "spanText");
        QCOMPARE(task.SourceEndText, "00:01:00");
        // Shown again: the stored texts, with the loaded profile's extension.
        w.clickRow(0);
        QCOMPARE(w.output("New Filename"), task.NewName + w.form->outputExtension());
        QCOMPARE(w.output("Start Time"), task.StartText);
    }

    void settingsNeedATask()
    {
        Window unknownLength("N/A");
        unknownLength.add({"X"});
        unknownLength.clickRow(0);
        unknownLength.type("X", "00:00:10", "00:00:20");
        QCOMPARE(unknownLength.task(0).StartText, "00:00:00"); // no source end: the start never moves
        QCOMPARE(unknownLength.task(0).EndText, "00:00:20");

        Window w;
        w.add({"X"});
        w.type("typed", "00:00:10", "00:00:20"); // nothing selected: stored nowhere
        QCOMPARE(w.task(0).NewName, "X");
    }

    // A click that selects no row, below the rows or beside the columns, empties the grid, so
    // that nothing typed there is taken for a task that is no longer selected.
    void clickOutsideTheRows_data()
    {
        QTest::addColumn<bool>("belowTheRows");
        QTest::newRow("below the last row") << true;
        QTest::newRow("right of the last column") << false;
    }
    void clickOutsideTheRows()
    {
        QFETCH(bool, belowTheRows);
        Window w;
        w.add({"X", "Y"});
        w.clickRow(1);
        QCOMPARE(w.output("New Filename"), "Y");
        QCOMPARE(w.output("End Time"), "00:01:00");
        QTreeWidget &list = *w.form->ltvTask;
        const QRect lastRow = list.visualItemRect(list.topLevelItem(1));
        const int lastColumnEnd = list.header()->sectionViewportPosition(3) + list.columnWidth(3);
        QVERIFY(lastColumnEnd + 10 < list.viewport()->width());
        w.click(belowTheRows ? QPoint(20, lastRow.bottom() + 20) : QPoint(lastColumnEnd + 5, lastRow.center().y()));
        QVERIFY(w.selectedRows().isEmpty());
        for (const char *key : {"New Filename", "Start Time", "End Time"})
            QCOMPARE(w.output(key), "");

        // With no task shown, a press on the grid tips the user instead of taking a value.
        QTest::mousePress(w.form->vleOutput->viewport(), Qt::LeftButton);
        const auto *tip = w.form->findChild<widgets::BalloonTip *>();
        QVERIFY(tip && tip->isVisible());
        QCOMPARE(tip->title(), "Tip:");
        QCOMPARE(tip->text(), "Please select a file in Task List.");
        QVERIFY(!tip->icon().isNull());
        QVERIFY(!w.form->vleOutput->currentIndex().isValid());
        QTest::mouseRelease(w.form->vleOutput->viewport(), Qt::LeftButton);

        // Shown again, the press goes to the grid.
        w.clickRow(0);
        QCOMPARE(w.output("New Filename"), "X");
    }

    void popupMenu()
    {
        Window w;
        auto enabled = [&w](const char *name) {
            w.form->ppmTaskPopup();
            for (QAction *action : w.form->ppmTask->actions()) {
                if (action->objectName() == QLatin1String(name))
                    return action->isEnabled();
            }
            return false;
        };
        QVERIFY(!enabled("mnuOpen") && !enabled("mnuRemove") && !enabled("mnuClear"));
        w.add({"X"});
        QVERIFY(!enabled("mnuOpen") && !enabled("mnuRemove") && enabled("mnuClear"));
        w.select("X");
        QVERIFY(enabled("mnuOpen") && enabled("mnuRemove") && !enabled("mnuShowLog"));
    }
};

std::unique_ptr<QObject> makeTaskListEditingTest()
{
    return std::make_unique<TaskListEditingTest>();
}

#include "tst_tasklistediting.moc"
