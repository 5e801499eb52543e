// A batch run through the window: its tasks, their outcomes and the files they leave.
#include "conversion/batchwindow.h"
#include "core/platform/fakes/fakechildprocess.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/tasklistrows.h"
#include "gui/settings/settingform.h"
#include "helpers/fakeprobe.h"
#include "helpers/testwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <memory>

using mainform::TMainForm;

using platform::FakeRun;
using platform::FakeStart;

using namespace batchwindow;

class BatchRunTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;

private slots:
    // The whole road through the real encoder: every task converted, the window back to idle.
    void realConversion()
    {
        QStringList clips;
        for (const char *name : {"one.avi", "two clip.avi"}) {
            clips << m_media.filePath(name);
            QProcess ffmpeg;
            ffmpeg.start("ffmpeg",
                         {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=4", "-f", "lavfi",
                          "-i", "sine=duration=4", "-c:v", "mpeg4", "-c:a", "mp3", "-shortest", clips.last()});
            QVERIFY(ffmpeg.waitForFinished(60000));
        }
        Window w(true);
        w.add(clips);
        QCOMPARE(w.form->cmbProfile->currentText(), "Phone");
        QCOMPARE(w.form->outputExtension(), ".3gp");
        // The second task gets a name of its own and only its middle two seconds.
        w.form->ltvTask->topLevelItem(1)->setSelected(true);
        w.form->ltvTaskClick();
        w.form->SetGridValue(0, "New Filename", "middle part.3gp");
        w.form->SetGridValue(0, "Start Time", "00:00:01");
        w.form->SetGridValue(0, "End Time", "00:00:03");
        w.form->vleOutputValidate();
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(w.statuses(), (QStringList{"Complete", "Complete"}));
        QCOMPARE(w.messageTexts(), QStringList{"The coversion is completed successfully."});
        QCOMPARE(QDir(w.outputDir.path()).entryList(QDir::Files), (QStringList{"middle part.3gp", "one.3gp"}));
        QProcess ffprobe;
        ffprobe.start("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0",
                                  w.outputDir.filePath("middle part.3gp")});
        QVERIFY(ffprobe.waitForFinished(30000));
        const double seconds = ffprobe.readAllStandardOutput().trimmed().toDouble();
        QVERIFY2(qAbs(seconds - 2) < 0.25, qPrintable(QString::number(seconds)));
        QCOMPARE(w.form->pgbTotal->value(), 100);
        QCOMPARE(w.form->labTotalProgress->text(), "100%");
        QCOMPARE(w.desktop.opened, QStringList{w.outputDir.path()});
        QVERIFY(w.form->panBottomCenter->isVisible() && !w.form->panBottomLeft->isVisible());
        QVERIFY(w.form->tbtnStart->isEnabled() && !w.form->tbtnStop->isEnabled());
        QVERIFY(QDir(w.outputDir.path()).entryList({"*.part"}).isEmpty());
    }

    // Half a file, cut off as an interrupted download leaves it, through the real encoder: the
    // converted part is kept, and the task is Incomplete with the encoder's account in its log.
    void aCutOffClip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("codecs");
        QTest::newRow("Matroska") << "cut.mkv" << QStringList{"-c:v", "mpeg4", "-c:a", "mp3"};
    }

    void aCutOffClip()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, codecs);
        const QString whole = m_media.filePath("whole-" + name);
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg",
                     QStringList{"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=10",
                                 "-f", "lavfi", "-i", "sine=duration=10"} +
                         codecs + QStringList{"-shortest", whole});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
        const QString cut = m_media.filePath(name);
        QProcess head;
        head.setStandardOutputFile(cut);
        head.start("head", {"-c", QString::number(QFileInfo(whole).size() / 2), whole});
        QVERIFY(head.waitForFinished(30000) && head.exitCode() == 0);

        Window w(true);
        w.add({cut});
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        const QString status = w.statuses().first();
        QCOMPARE(status, QString("Incomplete"));
        QVERIFY2(w.form->taskList().failureLog(0).contains("Incomplete: converted"),
                 qPrintable(w.form->taskList().failureLog(0)));
        QVERIFY(w.messageTexts().first().startsWith("The conversion is completed, but 1 of 1 file"));
        QCOMPARE(w.outputFiles(), QStringList{"cut.3gp"});
    }

    void commandLinesOfARun()
    {
        Window w;
        w.add({"/v/a.avi", "/v/b.avi", "/v/c.avi"});
        // The third task is trimmed; a file already stands at the second's name.
        ltvItemData third;
        w.form->ReadTask(2, tasks::SelectWholeRow, third);
        third.StartText = "00:00:10";
        third.SpanText = "00:00:12.5";
        w.form->WriteTask(2, tasks::SelectStart, third);
        w.form->WriteTask(2, tasks::SelectSpan, third);
        QFile(w.outputDir.filePath("b.3gp")).open(QIODevice::WriteOnly);
        w.form->SettingForm->rdbRename->setChecked(true);
        // The second task's own audio pick; the run's languages are the settings'.
        tasks::Task second = mainform::taskAt(*w.form->ltvTask, 1);
        second.audioChoice = "1";
        mainform::setTaskAt(*w.form->ltvTask, 1, second);
        w.form->SettingForm->show();
        w.form->SettingForm->edtSubtitleLanguages->setText("fre");
        QTest::mouseClick(w.form->SettingForm->btnOK, Qt::LeftButton);
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        auto runs = w.conversionArguments();
        QCOMPARE(runs.size(), 3);
        // Each encoder learns the input's length as it was added, to judge the output by.
        for (int row = 0; row < 3; ++row) {
            ltvItemData task;
            w.form->ReadTask(row, tasks::SelectWholeRow, task);
            QStringList &run = runs[row];
            QCOMPARE(run.at(run.size() - 3), QString("-length"));
            QVERIFY(qAbs(run.at(run.size() - 2).toDouble() - task.LengthSec) < 0.001);
            run.remove(run.size() - 3, 2);
        }
        const QString out = w.outputDir.path() + "/";
        // "-n": a file that appears at a name that was free is another run's, never replaced.
        QCOMPARE(runs.at(0),
                 (QStringList{"-y", "-i", "/v/a.avi", "-c:v", "h263", "-s", "176x144", "-c:a", "aac", "-ac", "1", "-ar",
                              "8000", "-audio-langs", "eng", "-subtitle-langs", "fre", "-n", out + "a.3gp"}));
        QCOMPARE(runs.at(1).mid(17), (QStringList{"-audio-track", "1", "-n", out + "b_2.3gp"}));
        QCOMPARE(runs.at(2).mid(17), (QStringList{"-ss", "00:00:10", "-t", "12", "-n", out + "c.3gp"}));
        QCOMPARE(w.statuses(), (QStringList{"Complete", "Complete", "Complete"}));
    }

    // A part that would go to the encoder as "-t 0" is refused before the run, saying which.
    void aPartTooShortIsRefused()
    {
        Window w;
        w.add({"/v/a.avi", "/v/b.avi"});
        ltvItemData second;
        w.form->ReadTask(1, tasks::SelectWholeRow, second);
        second.StartText = "00:00:10";
        second.EndText = "00:00:10.4";
        second.SpanText = "00:00:00.4";
        for (const int selector : {tasks::SelectStart, tasks::SelectEnd, tasks::SelectSpan})
            w.form->WriteTask(1, selector, second);
        QVERIFY(!testwindow::startAndWaitForRun(*w.form, 500));
        QCOMPARE(w.conversionArguments().size(), 0);
        QCOMPARE(w.messageTexts().size(), 1);
        QVERIFY2(w.messageTexts().first().contains("\"/v/b.avi\" from 00:00:10 to 00:00:10.4 is too short"),
                 qPrintable(w.messageTexts().first()));
        QCOMPARE(w.form->ltvTask->currentIndex().row(), 1);
    }

    // A failed conversion says so, and the run goes on with the next task.
    void failuresAreReported()
    {
        Window w;
        w.conversion = [](const FakeStart &start, int position) {
            FakeRun run = convertingRun(start, position == 1 ? 1 : 0);
            if (position == 1)
                run.reads = {"frame=1 time=0.0 \n", "Unknown encoder 'h263x'\n"};
            if (position == 2)
                run.exit.crashed = true;
            return run;
        };
        w.add({"/v/a.avi", "/v/b.avi", "/v/c.avi"});
        w.form->SettingForm->chkExit->setChecked(true);
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(w.statuses(), (QStringList{"Complete", "Failed", "Failed"}));
        QCOMPARE(w.messageTexts().size(), 1);
        QVERIFY(w.messageTexts().first().startsWith("The conversion is completed, but 2 of 3 files failed."));
        QVERIFY(w.form->isVisible()); // exit waits for a batch without failures
        QVERIFY(w.form->taskList().failureLog(1).contains("Unknown encoder 'h263x'"));
        QVERIFY(w.form->taskList().failureLog(0).isEmpty());
    }

    // Stop during the second task: the first stays Complete, the second Stop, the third is left.
    void stopDuringATask()
    {
        Window w;
        QString partial;
        w.conversion = [&](const FakeStart &start, int position) {
            if (position == 0)
                return convertingRun(start);
            FakeRun run;
            run.reads = {"frame=1 time=1.0 \n"};
            run.hangsAfterReads = true; // a silent encoder must not delay the stop
            partial = start.arguments.last() + ".part";
            run.onStart = [&w, partial] {
                QFile(partial).open(QIODevice::WriteOnly);
                QTimer::singleShot(20, w.form.get(), &TMainForm::tbtnStopClick);
            };
            return run;
        };
        w.add({"/v/a.avi", "/v/b.avi", "/v/c.avi"});
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(w.statuses(), (QStringList{"Complete", "Stop", "OK"}));
        QCOMPARE(w.conversionArguments().size(), 2);
        QCOMPARE(w.messageTexts(), QStringList{"The Coversion is canceled."});
        QCOMPARE(w.dialogs.messages.first().caption, "Cancel");
        QVERIFY(w.desktop.opened.isEmpty());
        QVERIFY(!QFile::exists(partial));
        QCOMPARE(w.form->runControl().state(), TMainForm::RunState::Idle);
    }

    void encoderThatCannotStart()
    {
        Window w;
        w.conversion = [](const FakeStart &, int) {
            FakeRun run;
            run.failsToStart = true;
            return run;
        };
        w.add({"/v/a.avi"});
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(w.dialogs.messages.size(), 1);
        QCOMPARE(w.dialogs.messages.first().caption, "Velkor 3GP Video Converter");
        QVERIFY(w.messageTexts().first().startsWith("Error on CreateProcess()"));
        QCOMPARE(w.statuses(), QStringList{"Failed"});
        QVERIFY(w.form->taskList().failureLog(0).contains("could not be started"));
        QVERIFY(!w.form->timerTime->isActive());
        QVERIFY(w.form->panBottomCenter->isVisible());
        QCOMPARE(w.form->runControl().state(), TMainForm::RunState::Idle);
    }

    void missingOutputDirectory()
    {
        Window w;
        w.add({"/v/a.avi"});
        w.form->edtOutputdir->setText(w.outputDir.filePath("gone"));
        w.form->tbtnStart->click();
        QCOMPARE(w.dialogs.messages.size(), 1);
        QCOMPARE(w.dialogs.messages.first().caption, "Output path does not exist");
        QCOMPARE(w.messageTexts().first(), "The output path does not exist. Please specify another one.");
        QVERIFY(w.conversionArguments().isEmpty());
    }

    // Renaming never overwrites: the same list run three times leaves three sets of files.
    void renameRunsKeepEveryFile()
    {
        Window w;
        w.add({"/v/a.avi", "/v/b.avi"});
        w.form->SettingForm->rdbRename->setChecked(true);
        for (int run = 0; run < 3; ++run)
            QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(w.outputFiles(), (QStringList{"a.3gp", "a_1.3gp", "a_2.3gp", "b.3gp", "b_2.3gp", "b_3.3gp"}));
    }

    // Files added under one profile and converted with another carry the other's extension,
    // the indexed name too.
    void theRunsProfileNamesTheFiles()
    {
        Window w;
        w.add({"/v/a.avi", "/v/b.avi"});
        QFile(w.outputDir.filePath("a.mp4")).open(QIODevice::WriteOnly);
        w.form->cmbProfile->setCurrentIndex(w.form->cmbProfile->findText("Web"));
        emit w.form->cmbProfile->activated(w.form->cmbProfile->currentIndex());
        QCOMPARE(w.form->outputExtension(), ".mp4");
        w.form->SettingForm->rdbRename->setChecked(true);
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(w.conversionArguments().at(0).last(), w.outputDir.filePath("a_1.mp4"));
        QCOMPARE(w.conversionArguments().at(1).last(), w.outputDir.filePath("b.mp4"));
    }

    // A short output the encoder kept is Incomplete: counted beside the failures, its log shown,
    // and no unattended exit.
    void incompleteOutputsAreReported()
    {
        Window w;
        w.conversion = [](const FakeStart &start, int position) {
            FakeRun run = convertingRun(start, position == 1 ? 3 : position == 2 ? 1 : 0);
            if (position == 1) {
                const QString output = start.arguments.last();
                run.reads << "Converted 00:00:30 of 00:01:00\n";
                run.onStart = [output] {
                    QFile file(output);
                    file.open(QIODevice::WriteOnly);
                    file.write("half");
                };
            }
            return run;
        };
        w.add({"/v/a.avi", "/v/b.avi", "/v/c.avi"});
        w.form->SettingForm->chkExit->setChecked(true);
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(w.statuses(), (QStringList{"Complete", "Incomplete", "Failed"}));
        QCOMPARE(w.messageTexts().size(), 1);
        QVERIFY2(w.messageTexts().first().startsWith(
                     "The conversion is completed, but 1 of 3 files failed and 1 is incomplete."),
                 qPrintable(w.messageTexts().first()));
        QVERIFY(w.form->isVisible());
        QCOMPARE(contents(w.outputDir.filePath("b.3gp")), "half");
        w.form->ltvTask->topLevelItem(1)->setSelected(true);
        w.form->ppmTaskPopup();
        const auto actions = w.form->ppmTask->actions();
        QAction *showLog = *std::find_if(actions.cbegin(), actions.cend(),
                                         [](QAction *action) { return action->objectName() == "mnuShowLog"; });
        QVERIFY(showLog->isEnabled());
        showLog->trigger();
        QVERIFY(w.messageTexts().last().contains("Converted 00:00:30 of 00:01:00"));
    }

    // A failure takes away only its own temporary file; what stood at the output name stays.
    void aFailureLeavesEarlierFilesAlone()
    {
        Window w;
        QFile earlier(w.outputDir.filePath("a.3gp"));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
        earlier.close();
        w.conversion = [](const FakeStart &start, int) {
            FakeRun run = convertingRun(start, 1);
            const QString partial = start.arguments.last() + ".part";
            run.onStart = [partial] { QFile(partial).open(QIODevice::WriteOnly); };
            return run;
        };
        w.add({"/v/a.avi"});
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(w.statuses(), QStringList{"Failed"});
        QCOMPARE(w.outputFiles(), QStringList{"a.3gp"});
        QCOMPARE(contents(w.outputDir.filePath("a.3gp")), "earlier");
    }

    // Show Log tells of the row's own last run: the log moves with its row, and a later run
    // that was stopped has none.
    void logsBelongToTheirRows()
    {
        Window w;
        bool stopping = false;
        w.conversion = [&stopping](const FakeStart &start, int) {
            const bool a = start.arguments.contains("/v/a.avi");
            FakeRun run = convertingRun(start, a && !stopping ? 1 : 0);
            if (a && !stopping)
                run.reads << "Unknown encoder 'h263x'\n";
            run.hangsAfterReads = a && stopping;
            return run;
        };
        w.add({"/v/a.avi", "/v/b.avi"});
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QVERIFY(w.form->taskList().failureLog(0).contains("h263x"));
        w.form->ltvTask->topLevelItem(0)->setSelected(true);
        QTest::mouseClick(w.form->tbtnDown, Qt::LeftButton);
        QVERIFY(w.form->taskList().failureLog(1).contains("h263x"));
        QVERIFY(w.form->taskList().failureLog(0).isEmpty());

        stopping = true;
        connect(&w.form->runControl().batchRun(), &conversion::BatchRun::taskStarted, this, [&w](int row) {
            if (row == 1)
                QTimer::singleShot(50, w.form->tbtnStop, &QToolButton::click);
        });
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(w.statuses(), (QStringList{"Complete", "Stop"}));
        QVERIFY(w.form->taskList().failureLog(1).isEmpty());
    }
};

std::unique_ptr<QObject> makeBatchRunTest()
{
    return std::make_unique<BatchRunTest>();
}

#include "tst_batchrun.moc"
