// The main window converting several tasks at once: the setting that asks for it, what the
// window shows while they run, Stop, and an outcome that is the one of one task after the other.
#include "core/platform/inifile.h"
#include "gui/settings/settingform.h"
#include "helpers/fakeprobe.h"
#include "helpers/processalive.h"
#include "helpers/testclips.h"
#include "helpers/testwindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <memory>

using mainform::TMainForm;

using platform::FakeRun;
using platform::FakeStart;

namespace {

// What the encoder says of a minute-long input.
const QByteArray ProbeReport =
    "Input #0, avi, from 'clip.avi':\n  Duration: 00:01:00, start: 0.000000, bitrate: 1 kb/s\n"
    "    Stream #0.0: Video: mpeg4, yuv420p, 320x240, 25.00 fps\n";

using testprobe::isProbe;

// A conversion that gets to `seconds` of its minute; then it ends with exitCode, or holds until killed.
FakeRun conversionTo(const FakeStart &start, double seconds, bool holds, int exitCode = 0)
{
    FakeRun run;
    run.reads = {"banner\n", "banner\n", QStringLiteral("frame=9 time=%1 \n").arg(seconds).toUtf8()};
    run.hangsAfterReads = holds;
    run.exit.exitCode = exitCode;
    const QString output = start.arguments.last();
    if (exitCode == 0 || exitCode == 3) {
        run.onStart = [output, exitCode] {
            QFile file(output);
            file.open(QIODevice::WriteOnly);
            file.write(exitCode == 0 ? "converted" : "half");
        };
    }
    if (exitCode == 3)
        run.reads << "Converted 00:00:30 of 00:01:00\n";
    return run;
}

struct Window : testwindow::Window {
    QTemporaryDir outputDir;
    // How each conversion behaves, by the input it converts.
    std::function<FakeRun(const FakeStart &)> conversion = [](const FakeStart &start) {
        return conversionTo(start, 60, false);
    };

    explicit Window(testwindow::Encoder encoder = testwindow::Encoder::Fake, const QString &directory = {})
        : testwindow::Window({{"Phone.vkp", testwindow::PhoneProfile}}, encoder, directory)
    {
        fakeProcesses.responder = [this](const FakeStart &start) {
            return isProbe(start) ? testprobe::probeRun(start, [](const QString &) { return ProbeReport; })
                                  : conversion(start);
        };
        form->show();
        form->edtOutputdir->setText(outputDir.path());
    }
    // As a user sets it: the settings opened from the toolbar, the number typed over, OK.
    void chooseJobs(int jobs)
    {
        QTest::mouseClick(form->tbtnSetting, Qt::LeftButton);
        QSpinBox *spin = form->SettingForm->spnJobs;
        QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(spin, QString::number(jobs));
        QTest::mouseClick(form->SettingForm->btnOK, Qt::LeftButton);
    }
    QStringList statuses() const
    {
        QStringList texts;
        for (int row = 0; row < form->ltvTask->topLevelItemCount(); ++row)
            texts << form->ltvTask->topLevelItem(row)->text(tasks::columnOf(tasks::SelectStatus));
        return texts;
    }
    int conversions() const
    {
        return int(std::count_if(fakeProcesses.starts.cbegin(), fakeProcesses.starts.cend(),
                                 [](const FakeStart &start) { return !isProbe(start); }));
    }
};

QString inputOf(const FakeStart &start)
{
    return start.arguments.value(start.arguments.indexOf("-i") + 1);
}

} // namespace

class SimultaneousRunsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;

private slots:
    void initTestCase()
    {
        if (QThread::idealThreadCount() < 2)
            QSKIP("One core allows one conversion at a time.");
    }

    // Kept by OK and across a restart; a stored number this computer cannot run is brought into
    // range; "Load Default" gives one at a time.
    void theSettingIsKept()
    {
        Window w;
        QCOMPARE(w.form->SettingForm->spnJobs->value(), 1);
        w.chooseJobs(2);
        const platform::IniFile ini(w.programDir.filePath("Preferences.ini"));
        QCOMPARE(ini.ReadInteger("Main", "Jobs", 0), 2);
        w.restart();
        QCOMPARE(w.form->SettingForm->spnJobs->value(), 2);
        w.form->close();
        QCOMPARE(ini.ReadInteger("Main", "Jobs", 0), 2);

        for (const auto &[stored, shown] :
             {std::pair{999, QThread::idealThreadCount()}, std::pair{0, 1}, std::pair{-2, 1}}) {
            platform::IniFile(ini).WriteInteger("Main", "Jobs", stored);
            w.restart();
            QCOMPARE(w.form->SettingForm->spnJobs->value(), shown);
        }
        w.chooseJobs(2);
        QTest::mouseClick(w.form->tbtnSetting, Qt::LeftButton);
        w.dialogs.answers = {platform::MessageButton::Yes};
        QTest::mouseClick(w.form->SettingForm->btnDefault, Qt::LeftButton);
        QCOMPARE(w.form->SettingForm->spnJobs->value(), 1);
        QTest::mouseClick(w.form->SettingForm->btnOK, Qt::LeftButton);
        QCOMPARE(ini.ReadInteger("Main", "Jobs", 0), 1);
    }

    // Each running task shows its own percentage, the label names the running files as tasks
    // start and end, and Stop ends them all.
    void runningTasksShowTheirOwnProgress()
    {
        Window w;
        w.conversion = [](const FakeStart &start) {
            const QString input = inputOf(start);
            if (input.endsWith("b.avi"))
                return conversionTo(start, 6, false, 1);
            return conversionTo(start, input.endsWith("a.avi") ? 15 : 30, true);
        };
        w.add({"/v/a.avi", "/v/b.avi", "/v/c d.avi", "/v/e.avi"});
        w.chooseJobs(2);
        QStringList named;
        const auto note = [&] { named << w.form->labConvertingFile->text(); };
        connect(&w.form->runControl().batchRun(), &conversion::BatchRun::taskStarted, this, note);
        connect(&w.form->runControl().batchRun(), &conversion::BatchRun::taskEnded, this, note);
        const int probeTerminations = w.fakeProcesses.terminations;
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QTRY_COMPARE(w.statuses(), (QStringList{"Converting 25%", "Failed", "Converting 50%", "OK"}));
        QCOMPARE(named, (QStringList{"a.avi", "a.avi, b.avi", "a.avi", "a.avi, c d.avi"}));
        QCOMPARE(w.form->labConvertingFile->text(), "a.avi, c d.avi");
        QCOMPARE(w.form->pgbTotal->value(), 44); // 15 + 60 + 30 of 240 seconds
        QCOMPARE(w.conversions(), 3);

        QTest::mouseClick(w.form->tbtnStop, Qt::LeftButton);
        QTRY_VERIFY(w.form->runIsIdle());
        QCOMPARE(w.statuses(), (QStringList{"Stop", "Failed", "Stop", "OK"}));
        QCOMPARE(w.fakeProcesses.terminations - probeTerminations, 2);
        QCOMPARE(w.conversions(), 3);
        QCOMPARE(w.messageTexts(), QStringList{"The Coversion is canceled."});
    }

    // Stop through real processes: every encoder and what it started is gone.
    void stopLeavesNoProcess()
    {
        Window w(testwindow::Encoder::Real);
        const QString encoder = w.programDir.filePath("wmaspi.dll");
        QVERIFY(QFile::remove(encoder) && QFile::link(VELKOR_TEST_BIN_DIR "/fake_encoder", encoder));
        const auto unset = qScopeGuard([] { qunsetenv("FAKE_ENCODER_SCRIPT"); });
        qputenv("FAKE_ENCODER_SCRIPT", "out:" + QByteArray(ProbeReport).replace("\n", "\\n"));
        w.add({"/v/a.avi", "/v/b.avi", "/v/c.avi"});
        QByteArray script = "pid|child";
        for (int read = 0; read < 20; ++read)
            script += "|out:frame=9 time=15.0 \\n|sleep:50";
        qputenv("FAKE_ENCODER_SCRIPT", script + "|sleep:60000");
        w.chooseJobs(2);
        QStringList logs;
        connect(&w.form->runControl().batchRun(), &conversion::BatchRun::taskEnded, this,
                [&logs](int, conversion::TaskStatus, const QString &log) { logs << log; });
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QTRY_COMPARE(w.statuses(), (QStringList{"Converting 25%", "Converting 25%", "OK"}));
        QTest::mouseClick(w.form->tbtnStop, Qt::LeftButton);
        QTRY_VERIFY(w.form->runIsIdle());
        QCOMPARE(w.statuses(), (QStringList{"Stop", "Stop", "OK"}));
        QCOMPARE(logs.size(), 2);
        for (const QString &log : std::as_const(logs)) {
            for (const char *process : {"pid", "child"}) {
                const qint64 pid = QRegularExpression(process + QString("=(\\d+)")).match(log).captured(1).toLongLong();
                QVERIFY2(pid > 0, qPrintable(log));
                QTRY_VERIFY_WITH_TIMEOUT(!testprocess::processAlive(pid), 5000);
            }
        }
    }

    // Statuses, the message, the notification and Show Log are those of one task after the other.
    void anOutcomeAsOneAtATime()
    {
        struct Outcome {
            QStringList statuses, messages, notifications;
            int atOnce = 0; // the most tasks that converted at one time
        };
        const auto outcomeWith = [](int jobs) {
            Window w;
            w.conversion = [](const FakeStart &start) {
                const QString input = inputOf(start);
                return conversionTo(start, 60, false, input.endsWith("b.avi") ? 3 : input.endsWith("c.avi") ? 1 : 0);
            };
            w.add({"/v/a.avi", "/v/b.avi", "/v/c.avi", "/v/d.avi"});
            w.chooseJobs(jobs);
            Outcome outcome;
            connect(&w.form->runControl().batchRun(), &conversion::BatchRun::taskStarted, [&] {
                outcome.atOnce = std::max(outcome.atOnce, int(w.form->runControl().batchRun().runningRows().size()));
            });
            const bool ended = testwindow::startAndWaitForRun(*w.form);
            w.form->ltvTask->topLevelItem(1)->setSelected(true);
            w.form->ppmTaskPopup();
            for (QAction *action : w.form->ppmTask->actions()) {
                if (action->objectName() == "mnuShowLog" && action->isEnabled())
                    action->trigger();
            }
            outcome.statuses = w.statuses();
            outcome.messages = w.messageTexts();
            for (const auto &shown : w.notifications.shown)
                outcome.notifications << shown.summary + ": " + shown.body;
            return ended ? outcome : Outcome{};
        };
        const Outcome oneAtATime = outcomeWith(1);
        QCOMPARE(oneAtATime.statuses, (QStringList{"Complete", "Incomplete", "Failed", "Complete"}));
        QCOMPARE(oneAtATime.messages.size(), 2);
        QVERIFY(oneAtATime.messages.first().startsWith(
            "The conversion is completed, but 1 of 4 files failed and 1 is incomplete."));
        QVERIFY(oneAtATime.messages.last().contains("Converted 00:00:30 of 00:01:00"));
        const Outcome twoAtATime = outcomeWith(2);
        QCOMPARE(twoAtATime.atOnce, 2);
        QCOMPARE(twoAtATime.statuses, oneAtATime.statuses);
        QCOMPARE(twoAtATime.messages, oneAtATime.messages);
        QCOMPARE(twoAtATime.notifications, oneAtATime.notifications);
    }

    // The real encoder writes the same files two at a time as one after the other.
    void sameFilesAsOneAtATime()
    {
        QStringList clips;
        for (const char *name : {"one.avi", "two clip.avi", "three.avi"}) {
            clips << m_media.filePath(name);
            QVERIFY(testclips::makeClip(clips.last(), 2));
        }
        QList<QMap<QString, QByteArray>> outputs;
        for (const int jobs : {1, 2}) {
            Window w(testwindow::Encoder::Real);
            w.add(clips);
            w.chooseJobs(jobs);
            QVERIFY(testwindow::startAndWaitForRun(*w.form));
            QCOMPARE(w.form->runControl().batchRun().jobs(), jobs);
            QCOMPARE(w.statuses(), (QStringList{"Complete", "Complete", "Complete"}));
            QMap<QString, QByteArray> files;
            for (const QString &name : QDir(w.outputDir.path()).entryList(QDir::Files)) {
                QFile file(w.outputDir.filePath(name));
                QVERIFY(file.open(QIODevice::ReadOnly));
                files.insert(name, file.readAll());
            }
            outputs << files;
        }
        QCOMPARE(outputs.first().keys(), (QStringList{"one.3gp", "three.3gp", "two clip.3gp"}));
        QVERIFY(outputs.first() == outputs.last());
    }

    // Two windows of one program folder convert the same files into one folder at the same time:
    // neither writes into a file the other is writing, and every file called complete plays.
    void twoWindowsMeet()
    {
        QStringList clips;
        for (const char *name : {"meet one.avi", "-meet two.avi"}) {
            clips << m_media.filePath(name);
            QVERIFY(testclips::makeClip(clips.last(), 3));
        }
        Window first(testwindow::Encoder::Real);
        Window second(testwindow::Encoder::Real, first.programDir.path());
        second.form->edtOutputdir->setText(first.outputDir.path());
        int ended = 0;
        for (Window *w : {&first, &second}) {
            w->add(clips);
            connect(&w->form->runControl().batchRun(), &conversion::BatchRun::runEnded, [&ended] { ++ended; });
        }
        QTest::mouseClick(first.form->tbtnStart, Qt::LeftButton);
        QTest::mouseClick(second.form->tbtnStart, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(ended, 2, 120000);

        for (Window *w : {&first, &second}) {
            for (int row = 0; row < clips.size(); ++row) {
                const QString status = w->statuses().at(row);
                QVERIFY2(status == "Complete" ||
                             (status == "Failed" && w->form->taskList().failureLog(row).contains("by another run")),
                         qPrintable(status + ": " + w->form->taskList().failureLog(row)));
            }
        }
        const QDir output(first.outputDir.path());
        QCOMPARE(output.entryList(QDir::Files), (QStringList{"-meet two.3gp", "meet one.3gp"}));
        for (const QString &name : output.entryList(QDir::Files)) {
            QProcess probe;
            probe.start("ffprobe",
                        {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", output.filePath(name)});
            QVERIFY(probe.waitForFinished(30000));
            QVERIFY2(probe.readAllStandardOutput().trimmed().toDouble() > 2.5, qPrintable(name));
        }
    }
};

std::unique_ptr<QObject> makeSimultaneousRunsTest()
{
    return std::make_unique<SimultaneousRunsTest>();
}

#include "tst_simultaneousruns.moc"
