#include "gui/preview/dstrackbar.h"
#include "gui/preview/filtergraph.h"
#include "helpers/testwindow.h"
#include "preview/previewtestsupport.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using preview::GraphState;
using testwindow::Window;

namespace {

constexpr int TickTimeoutMs = 5000;

QAction *menuAction(mainform::TMainForm &form, const QString &name)
{
    for (QAction *action : form.ppmTask->actions()) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

} // namespace

// The preview as the main window drives it: its buttons, the task list's double-click and "Open",
// errors through the general error display, and a batch run stopping it.
class MainFormPreviewTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;
    QString m_first, m_second, m_textFile;

private slots:
    void initTestCase()
    {
        m_first = m_media.filePath("first clip.avi");
        m_second = m_media.filePath("-second clip é.avi");
        QVERIFY2(testclips::makeClip(m_first, 6), "ffmpeg must be on PATH");
        QVERIFY(testclips::makeClip(m_second, 4));
        m_textFile = m_media.filePath("not a video.avi");
        QFile text(m_textFile);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("Plain text in a video's name.\n");
    }

    void buttonsNeedATaskAndASelection()
    {
        Window window;
        window.form->show();
        window.form->sbtnPlay->click();
        window.form->sbtnPause->click();
        window.form->sbtnStop->click();
        QVERIFY(!window.form->FilterGraph->Active());
        QCOMPARE(window.form->labPreviewTime->text(), "00:00:00");

        window.add({m_first, m_second});
        window.form->ltvTask->clearSelection();
        window.form->ltvTaskDblClick();
        menuAction(*window.form, "mnuOpen")->trigger();
        QVERIFY(!window.form->FilterGraph->Active());

        // Play without a selection takes the first task.
        window.form->sbtnPlay->click();
        QCOMPARE(window.selectedRows(), QList<int>{0});
        QCOMPARE(window.form->FilterGraph->GetState(), GraphState::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(window.form->labPreviewTime->text() >= "00:00:02", 2 * TickTimeoutMs);
        QCOMPARE(window.form->TrackBar->maximum(), 6);

        window.form->sbtnPause->click();
        QCOMPARE(window.form->FilterGraph->GetState(), GraphState::Paused);
        window.form->sbtnPause->click();
        QCOMPARE(window.form->FilterGraph->GetState(), GraphState::Playing);
        window.form->sbtnStop->click();
        QCOMPARE(window.form->FilterGraph->GetState(), GraphState::Stopped);
        window.form->sbtnPause->click();
        QCOMPARE(window.form->FilterGraph->GetState(), GraphState::Stopped);

        // "Open" plays the first selected task, whose name starts with "-" and holds an accent.
        window.form->ltvTask->clearSelection();
        window.form->ltvTask->topLevelItem(1)->setSelected(true);
        menuAction(*window.form, "mnuOpen")->trigger();
        QCOMPARE(window.form->FilterGraph->GetState(), GraphState::Playing);
        QTRY_COMPARE_WITH_TIMEOUT(window.form->TrackBar->maximum(), 4, TickTimeoutMs);
        QVERIFY(window.messageTexts().isEmpty());
    }

    void anUnplayableTaskIsReportedAndAnotherPlaysAtOnce()
    {
        Window window;
        window.form->show();
        window.add({m_first, m_textFile});
        QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));
        QTreeWidget &list = *window.form->ltvTask;
        const QPoint secondRow = list.visualItemRect(list.topLevelItem(1)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, secondRow);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, secondRow);
        QTRY_COMPARE_WITH_TIMEOUT(window.messageTexts().size(), 1, TickTimeoutMs);
        QVERIFY2(window.messageTexts().first().contains(QRegularExpression(R"(. \(\$[0-9a-f]+\)\.$)")),
                 qPrintable(window.messageTexts().first()));
        QVERIFY(window.form->FilterGraph->GetState() != GraphState::Playing);
        QCOMPARE(window.form->labPreviewTime->text(), "00:00:00");

        window.form->ltvTask->clearSelection();
        window.form->ltvTask->topLevelItem(0)->setSelected(true);
        window.form->sbtnPlay->click();
        QCOMPARE(window.messageTexts().join("|"), window.messageTexts().first());
        QCOMPARE(window.form->FilterGraph->GetState(), GraphState::Playing);
    }

    void aBatchRunStopsThePreview()
    {
        Window window;
        window.form->show();
        window.add({m_first});
        window.form->sbtnPlay->click();
        QCOMPARE(window.form->FilterGraph->GetState(), GraphState::Playing);
        window.form->DisableControlsForRun();
        QCOMPARE(window.form->FilterGraph->GetState(), GraphState::Stopped);
        // The preview stays usable while the run goes on, and the run's end does not restart it.
        QVERIFY(window.form->sbtnPlay->isEnabled());
        window.form->EnableControlsAfterRun();
        QCOMPARE(window.form->FilterGraph->GetState(), GraphState::Stopped);
    }
};

std::unique_ptr<QObject> makeMainFormPreviewTest()
{
    return std::make_unique<MainFormPreviewTest>();
}

#include "tst_mainformpreview.moc"
