#include "core/platform/fakes/fakechildprocess.h"
#include "core/platform/qtchildprocess.h"
#include "core/platform/signalinterruption.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/turnoffnotice.h"
#include "gui/settings/settingform.h"
#include "helpers/fakeprobe.h"
#include "helpers/testclips.h"
#include "helpers/testwindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>

using mainform::TMainForm;
using mainform::TTurnOffNotice;

using platform::FakeRun;
using platform::FakeStart;

namespace {

using testprobe::isProbe;

QByteArray minuteReport(const QString &path)
{
    return ("Input #0, avi, from '" + path +
            "':\n  Duration: 00:01:00, start: 0.000000, bitrate: 1 kb/s\n"
            "    Stream #0.0: Video: mpeg4, yuv420p, 320x240, 25.00 fps\n")
        .toUtf8();
}

// A conversion that reports its progress and leaves its output where it was asked to.
FakeRun convertingRun(const FakeStart &start, int exitCode = 0)
{
    FakeRun run;
    run.reads = {"frame=1 time=0.0 \n", "frame=2 time=10.0 \n", "frame=3 time=30.0 \n", "frame=4 time=60.0 \n"};
    run.exit.exitCode = exitCode;
    const QString output = start.arguments.last();
    if (exitCode == 0) {
        run.onStart = [output] {
            QFile file(output);
            file.open(QIODevice::WriteOnly);
            file.write("converted");
        };
    }
    return run;
}

struct Window : testwindow::Window {
    QTemporaryDir outputDir;
    // How each conversion behaves, by its position in the run.
    std::function<FakeRun(const FakeStart &, int)> conversion = [](const FakeStart &start, int) {
        return convertingRun(start);
    };
    int conversions = 0;

    explicit Window(bool realEncoder = false)
        : testwindow::Window({{"Phone.vkp", testwindow::PhoneProfile},
                              {"Web.vkp", QByteArray(testwindow::PhoneProfile).replace("Type=3gp", "Type=mp4")}},
                             realEncoder ? testwindow::Encoder::Real : testwindow::Encoder::Fake)
    {
        fakeProcesses.responder = [this](const FakeStart &start) {
            return isProbe(start) ? testprobe::probeRun(start, minuteReport) : conversion(start, conversions++);
        };
        form->show();
        form->edtOutputdir->setText(outputDir.path());
    }
    void add(const QStringList &inputs)
    {
        for (const QString &input : inputs)
            form->AddInputFile(input);
        QVERIFY(QTest::qWaitFor([this] { return !form->probingInputs(); }, 60000));
        form->EnableListButtonsIfTasks();
    }
    QStringList statuses() const
    {
        QStringList texts;
        for (int row = 0; row < form->ltvTask->topLevelItemCount(); ++row)
            texts << form->ltvTask->topLevelItem(row)->text(tasks::columnOf(tasks::SelectStatus));
        return texts;
    }
    QList<QStringList> conversionArguments() const
    {
        QList<QStringList> found;
        for (const FakeStart &start : fakeProcesses.starts) {
            if (!isProbe(start))
                found << start.arguments;
        }
        return found;
    }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto &message : dialogs.messages)
            texts << message.text;
        return texts;
    }
    int probes() const { return testprobe::probedInputs(fakeProcesses.starts); }
    QStringList outputFiles() const { return QDir(outputDir.path()).entryList(QDir::Files); }
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

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
        QVERIFY2(w.form->failureLog(0).contains("Incomplete: converted"), qPrintable(w.form->failureLog(0)));
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
        QCOMPARE(runs.at(0), (QStringList{"-y", "-i", "/v/a.avi", "-c:v", "h263", "-s", "176x144", "-c:a", "aac", "-ac",
                                          "1", "-ar", "8000", "-n", out + "a.3gp"}));
        QCOMPARE(runs.at(1).last(), out + "b_2.3gp");
        QCOMPARE(runs.at(2).mid(13), (QStringList{"-ss", "00:00:10", "-t", "12", "-n", out + "c.3gp"}));
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
        QVERIFY(w.form->failureLog(1).contains("Unknown encoder 'h263x'"));
        QVERIFY(w.form->failureLog(0).isEmpty());
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
        QVERIFY(w.form->failureLog(0).contains("could not be started"));
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
        w.form->AddInputFile("/v/new.avi");
        w.form->DropFiles({"/v/dropped.avi"});
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
        QVERIFY(w.form->failureLog(0).contains("h263x"));
        w.form->ltvTask->topLevelItem(0)->setSelected(true);
        QTest::mouseClick(w.form->tbtnDown, Qt::LeftButton);
        QVERIFY(w.form->failureLog(1).contains("h263x"));
        QVERIFY(w.form->failureLog(0).isEmpty());

        stopping = true;
        connect(&w.form->runControl().batchRun(), &conversion::BatchRun::taskStarted, this, [&w](int row) {
            if (row == 1)
                QTimer::singleShot(50, w.form->tbtnStop, &QToolButton::click);
        });
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(w.statuses(), (QStringList{"Complete", "Stop"}));
        QVERIFY(w.form->failureLog(1).isEmpty());
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
        w.form->setProbeTimeLimit(200);
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
        real.form->setProbeTimeLimit(1500);
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

std::unique_ptr<QObject> makeBatchRunTest()
{
    return std::make_unique<BatchRunTest>();
}

#include "tst_batchrun.moc"
