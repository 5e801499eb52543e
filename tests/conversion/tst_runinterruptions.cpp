// What comes between the window and its run or its probes: a close, a signal, a shutdown, a
// modal loop, another start, an input that never answers.
#include "conversion/batchwindow.h"
#include "core/platform/fakes/fakechildprocess.h"
#include "core/platform/signalinterruption.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/mainform/mainform.h"
#include "gui/settings/settingform.h"
#include "helpers/fakeprobe.h"
#include "helpers/testclips.h"
#include "helpers/testwindow.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <csignal>
#include <functional>
#include <memory>

using mainform::TMainForm;

using platform::FakeRun;
using platform::FakeStart;

using namespace batchwindow;

class RunInterruptionsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;

private slots:
    // Closing the window during a run asks first; yes stops the encoder and ends the program.
    void closingDuringARun()
    {
        Window w;
        w.conversion = [&w](const FakeStart &, int) {
            FakeRun run;
            run.hangsAfterReads = true;
            run.onStart = [&w] { QTimer::singleShot(20, w.form.get(), &QWidget::close); };
            return run;
        };
        w.add({"/v/a.avi", "/v/b.avi"});
        w.dialogs.answers = {platform::MessageButton::No};
        // The first "No" keeps the run going; the next close is answered "Yes".
        w.dialogs.onMessage = [&w](const desktop::ShownMessage &) {
            if (w.dialogs.answers.empty())
                return;
            QTimer::singleShot(20, w.form.get(), &QWidget::close);
        };
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(w.statuses(), (QStringList{"Stop", "OK"}));
        QVERIFY(!w.form->isVisible());
        QCOMPARE(w.dialogs.messages.size(), 2);
        QCOMPARE(w.dialogs.messages.first().caption, "Close");
        QVERIFY(w.fakeProcesses.terminations > 0);
        QFile preferences(w.programDir.filePath("Preferences.ini"));
        QVERIFY(preferences.open(QIODevice::ReadOnly));
        QVERIFY(preferences.readAll().contains("Output Path=" + w.outputDir.path().toUtf8()));
    }

    // While a run holds its encoder, neither Start nor an add, a drop, a profile or the settings
    // start anything, whatever the widgets show; sleep is held off until the run ends.
    void nothingElseStartsDuringARun()
    {
        Window w;
        w.conversion = [](const FakeStart &start, int position) {
            FakeRun run = convertingRun(start);
            run.hangsAfterReads = position == 0;
            return run;
        };
        w.add({"/v/a.avi", "/v/b.avi"});
        bool ended = false;
        connect(&w.form->runControl().batchRun(), &conversion::BatchRun::runEnded, this, [&] { ended = true; });
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QTRY_COMPARE(w.statuses().first(), "Converting");
        QCOMPARE(w.power.heldLocks, 1);
        QCOMPARE(w.power.inhibitions.first().who, "Velkor 3GP Video Converter");
        QCOMPARE(w.power.inhibitions.first().why, "Converting videos");
        for (QWidget *control :
             std::initializer_list<QWidget *>{w.form->tbtnStart, w.form->ltvTask, w.form->tbtnAddFile})
            control->setEnabled(true);
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        w.form->tbtnStartClick();
        w.form->taskList().AddInputFile("/v/new.avi");
        w.form->taskList().DropFiles({"/v/dropped.avi"});
        w.form->cmbProfile->setCurrentIndex(1);
        w.form->cmbProfileChange();
        w.form->tbtnSettingClick();
        QTest::qWait(50);
        QCOMPARE(w.probes(), 2);
        QCOMPARE(w.conversionArguments().size(), 1);
        QCOMPARE(w.form->ltvTask->topLevelItemCount(), 2);
        QCOMPARE(w.form->outputExtension(), ".3gp");
        QVERIFY(!w.form->SettingForm->isVisible());
        w.form->tbtnStopClick();
        QTRY_VERIFY(ended);
        QCOMPARE(w.statuses(), (QStringList{"Stop", "OK"}));
        QCOMPARE(w.power.heldLocks, 0);
    }

    // A modal loop opened over the run (a message box, a slow preview load) does not hold it up.
    void aModalLoopDoesNotHoldTheRun()
    {
        Window w;
        w.add({"/v/a.avi", "/v/b.avi"});
        bool endedInsideTheLoop = false;
        connect(&w.form->runControl().batchRun(), &conversion::BatchRun::taskStarted, this, [&](int row) {
            if (row != 0)
                return;
            QTimer::singleShot(0, this, [&] {
                QEventLoop modal;
                connect(&w.form->runControl().batchRun(), &conversion::BatchRun::runEnded, &modal, [&] {
                    endedInsideTheLoop = true;
                    modal.quit();
                });
                QTimer::singleShot(30000, &modal, &QEventLoop::quit);
                modal.exec();
            });
        });
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QVERIFY(endedInsideTheLoop);
        QCOMPARE(w.statuses(), (QStringList{"Complete", "Complete"}));
    }

    // A run that ends while "Stop it and close the program?" is open: Yes still closes.
    void closingWhenTheRunEndedMeanwhile()
    {
        Window w;
        w.conversion = [&w](const FakeStart &start, int) {
            FakeRun run = convertingRun(start);
            run.onStart = [&w, onStart = run.onStart] {
                onStart();
                QTimer::singleShot(0, w.form.get(), &QWidget::close);
            };
            return run;
        };
        w.dialogs.onMessage = [&w](const desktop::ShownMessage &message) {
            if (message.caption == "Close")
                QVERIFY(QTest::qWaitFor([&w] { return w.form->runIsIdle(); }, 5000));
        };
        w.add({"/v/a.avi"});
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QTRY_VERIFY(!w.form->isVisible());
        QCOMPARE(w.statuses(), QStringList{"Complete"});
    }

    // A termination signal or a coming shutdown ends the program as a close does, without the
    // question: the run stops, its partial output goes, the preferences are stored.
    void endedFromOutside_data()
    {
        QTest::addColumn<int>("signal"); // 0: logind announces a shutdown
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("shutdown") << 0;
    }

    void endedFromOutside()
    {
        QFETCH(int, signal);
        Window w;
        QString partial;
        w.conversion = [&partial](const FakeStart &start, int) {
            FakeRun run = convertingRun(start);
            partial = start.arguments.last() + ".part";
            run.onStart = [partial] { QFile(partial).open(QIODevice::WriteOnly); };
            run.hangsAfterReads = true;
            return run;
        };
        platform::SignalInterruption interruption;
        connect(&interruption, &platform::Interruption::interrupted, w.form.get(), &TMainForm::closeWithoutQuestion);
        w.add({"/v/a.avi"});
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QTRY_VERIFY(QFile::exists(partial));
        QCOMPARE(w.power.heldDelays, 1);
        if (signal != 0)
            std::raise(signal);
        else
            w.power.announceShutdown();
        QTRY_VERIFY(!w.form->isVisible());
        QVERIFY(!QFile::exists(partial));
        QCOMPARE(w.power.heldDelays, 0);
        QCOMPARE(w.messageTexts(), QStringList());
        QVERIFY(QFile::exists(w.programDir.filePath("Preferences.ini")));
    }

    // A file that never answers the probe costs the time limit, then is listed without a length.
    void aProbeThatNeverEnds()
    {
        Window w;
        w.fakeProcesses.responder = [](const FakeStart &) {
            FakeRun run;
            run.hangsAfterReads = true;
            return run;
        };
        w.form->taskList().setProbeTimeLimit(200);
        w.add({"/v/stalled.avi"});
        ltvItemData task;
        w.form->ReadTask(0, tasks::SelectWholeRow, task);
        QCOMPARE(task.InputFile, "/v/stalled.avi");
        QVERIFY(task.LengthText.isEmpty() && task.SizeText.isEmpty());
        QCOMPARE(task.Status, "OK");
        QCOMPARE(w.fakeProcesses.terminations, 1);

        // The real encoder, held by a named pipe with a video's name.
        Window real(true);
        const QString pipe = m_media.filePath("pipe.avi");
        QVERIFY(testclips::makeNamedPipe(pipe));
        real.form->taskList().setProbeTimeLimit(1500);
        QElapsedTimer clock;
        clock.start();
        real.add({pipe});
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(real.form->ltvTask->topLevelItemCount(), 1);
        QVERIFY(real.form->ltvTask->topLevelItem(0)->text(tasks::columnOf(tasks::SelectLength)).isEmpty());
    }

    // Closing the window while a folder is being added ends the adding: the probing encoder is
    // killed, and no row comes after the close.
    void closingStopsAddingAFolder()
    {
        QTemporaryDir folder;
        for (int i = 0; i < 20; ++i)
            QFile(folder.filePath(QString("clip%1.avi").arg(i, 2, 10, QChar('0')))).open(QIODevice::WriteOnly);
        Window w;
        w.fakeProcesses.responder = [](const FakeStart &start) {
            FakeRun run = testprobe::probeRun(start, minuteReport);
            run.reads = run.reads.mid(0, 3);
            run.hangsAfterReads = true;
            return run;
        };
        w.dialogs.folderToChoose = folder.path();
        QTest::mouseClick(w.form->tbtnAddDir, Qt::LeftButton);
        QTRY_COMPARE(w.form->ltvTask->topLevelItemCount(), 3);
        w.form->close();
        QVERIFY(!w.form->isVisible());
        QTRY_COMPARE(w.fakeProcesses.terminations, 1);
        QTest::qWait(50);
        QCOMPARE(w.fakeProcesses.starts.size(), 1);
        QCOMPARE(w.form->ltvTask->topLevelItemCount(), 3);
    }
};

std::unique_ptr<QObject> makeRunInterruptionsTest()
{
    return std::make_unique<RunInterruptionsTest>();
}

#include "tst_runinterruptions.moc"
