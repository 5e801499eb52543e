// The main window's regions: their designed layout, how they follow the window and the
// splitters, and which controls a run leaves usable.
#include "gui/mainform/mainform.h"
#include "gui/widgets/splitterbar.h"
#include "helpers/testwindow.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using mainform::TMainForm;
using testwindow::FakeServices;

namespace {
QList<int> columnWidths(const TMainForm &form)
{
    QList<int> widths;
    for (int column = 0; column < 4; ++column)
        widths << form.ltvTask->columnWidth(column);
    return widths;
}

void dragSplitter(mainform::TMainForm &form, int x, Qt::KeyboardModifiers modifiers)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(x, 5), form.panSplitter->mapToGlobal(QPointF(x, 5)), Qt::NoButton,
                     Qt::LeftButton, modifiers);
    QApplication::sendEvent(form.panSplitter, &move);
}
} // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    // The created window lays out its regions as designed; resizing spreads the list's change
    // over the columns and moves the bottom bar's right-hand controls.
    void layoutFollowsTheWindow()
    {
        QTemporaryDir programDir;
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.panMain->width(), 580);
        QCOMPARE(form.ltvTask->width(), 570);
        QCOMPARE(form.panProfile->width(), 200);
        // The remembered width starts at 562, so the first layout spreads 8 pixels.
        QCOMPARE(columnWidths(form), (QList<int>{264, 91, 81, 102}));
        QCOMPARE(form.bbtnSetting->x(), 490);
        QCOMPARE(form.cmbProfile->width(), 407);
        QCOMPARE(form.bbtnBrowser->x(), 405);
        QCOMPARE(form.edtOutputdir->width(), 322);
        QCOMPARE(form.labCurProgress->x(), 553);
        QCOMPARE(form.pgbTotal->width(), 430);
        QVERIFY(form.panBottomCenter->isVisible());
        QVERIFY(!form.panBottomLeft->isVisible());
        QVERIFY(form.panbg->isVisible());

        form.resize(form.width() + 100, form.height());
        QTRY_COMPARE(form.ltvTask->width(), 670);
        QCOMPARE(columnWidths(form), (QList<int>{264 + 49, 91 + 17, 81 + 15, 102 + 19}));
        QCOMPARE(form.bbtnOpen->x(), 590);
        form.resize(form.width() + 1, form.height());
        QTRY_COMPARE(form.ltvTask->width(), 671);
        QCOMPARE(columnWidths(form), (QList<int>{313, 108, 96, 121}));

        // Shrinking far never takes a column or bar to zero.
        form.resize(120, form.height());
        QTRY_VERIFY(form.ltvTask->width() < 100);
        for (int width : columnWidths(form))
            QVERIFY(width > 0);
        QVERIFY(form.pgbCurrent->width() > 0 && form.cmbProfile->width() > 0);
    }

    void splitterDragResizesTheRightPanel_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("panelWidth");
        QTest::newRow("25 right of the edge") << 25 << int(Qt::NoModifier) << 180;
        QTest::newRow("left of the bar") << -15 << int(Qt::NoModifier) << 220;
        QTest::newRow("with shift") << 25 << int(Qt::ShiftModifier) << 200;
        QTest::newRow("with ctrl") << 25 << int(Qt::ControlModifier) << 200;
        QTest::newRow("at the edge") << 0 << int(Qt::NoModifier) << 200;
        QTest::newRow("far right is clamped") << 900 << int(Qt::NoModifier) << mainform::MinimumWidth;
    }
    void splitterDragResizesTheRightPanel()
    {
        QFETCH(int, x);
        QFETCH(int, modifiers);
        QTemporaryDir programDir;
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        dragSplitter(form, x, Qt::KeyboardModifiers(modifiers));
        QTEST(form.panProfile->width(), "panelWidth");
        QCOMPARE(form.bbtnSetting->x(), form.panMain->width() - 90);
    }

    // Only Stop, About and Help stay usable during a run; afterwards all but Stop.
    // Dragging the bar between the profile and the preview: the preview follows the pointer, and
    // collapses to nothing at 30 pixels or less.
    void previewSplitterCollapses_data()
    {
        QTest::addColumn<int>("previewHeight");
        QTest::addColumn<int>("shown");
        QTest::newRow("60 pixels") << 60 << 60;
        QTest::newRow("31 pixels") << 31 << 31;
        QTest::newRow("30 pixels") << 30 << 0;
        QTest::newRow("12 pixels") << 12 << 0;
    }
    void previewSplitterCollapses()
    {
        QFETCH(int, previewHeight);
        QTemporaryDir programDir;
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSplitterHandle *handle = form.Splitter1->handle(1);
        const int from = form.panPreview->height();
        QCOMPARE(from, 177);
        const QPoint grip(handle->width() / 2, 2);
        const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
            QMouseEvent event(type, at, handle->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
            QApplication::sendEvent(handle, &event);
        };
        send(QEvent::MouseButtonPress, grip, Qt::LeftButton);
        send(QEvent::MouseMove, grip + QPoint(0, from - previewHeight), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, grip + QPoint(0, from - previewHeight), Qt::NoButton);
        QFETCH(int, shown);
        QTRY_COMPARE(form.Splitter1->sizes().value(1), shown);
    }

    void controlStatesOfARun()
    {
        QTemporaryDir programDir;
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        const QList<QWidget *> listButtons{form.tbtnUp, form.tbtnDown, form.tbtnRemove, form.tbtnClear, form.tbtnStart};
        for (QWidget *button : listButtons)
            QVERIFY(!button->isEnabled());
        QVERIFY(form.tbtnAddFile->isEnabled() && !form.tbtnStop->isEnabled());
        form.DisableControlsForRun();
        const QList<QWidget *> idleOnly{form.tbtnAddFile, form.tbtnAddDir,  form.tbtnUp,    form.tbtnDown,
                                        form.tbtnRemove,  form.tbtnClear,   form.tbtnStart, form.tbtnSetting,
                                        form.ltvTask,     form.panSplitter, form.gpbProfile};
        for (QWidget *control : idleOnly)
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        for (QWidget *control : {(QWidget *)form.tbtnStop, (QWidget *)form.tbtnAbout, (QWidget *)form.tbtnHelp})
            QVERIFY(control->isEnabled());
        form.EnableControlsAfterRun();
        for (QWidget *control : idleOnly)
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(!form.tbtnStop->isEnabled());
    }

    // Every control can be found by assistive tools; a label is read by its own text.
    void controlsHaveAccessibleNames()
    {
        QTemporaryDir programDir;
        FakeServices fakes;
        mainform::TMainForm form(fakes.services, programDir.path());
        const auto widgets = form.findChildren<QWidget *>();
        for (QWidget *widget : widgets) {
            if (qobject_cast<QLabel *>(widget))
                QVERIFY2(widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
            if (qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLineEdit *>(widget) ||
                qobject_cast<QComboBox *>(widget) || qobject_cast<QAbstractItemView *>(widget) ||
                qobject_cast<QProgressBar *>(widget) || qobject_cast<QGroupBox *>(widget)) {
                // Qt's own inner parts (a table's corner button) are not ours to name.
                if (widget->objectName().startsWith("qt_") || !widget->isVisibleTo(&form) ||
                    QByteArray(widget->metaObject()->className()) == "QTableCornerButton")
                    continue;
                QVERIFY2(!widget->accessibleName().isEmpty(), widget->metaObject()->className());
            }
        }
    }
};

std::unique_ptr<QObject> makeWindowLayoutTest()
{
    return std::make_unique<WindowLayoutTest>();
}
#include "tst_windowlayout.moc"
