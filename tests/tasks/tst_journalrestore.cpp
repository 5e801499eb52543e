#include "core/protocol/qtpartialoutput.h"
#include "core/tasks/journalslot.h"
#include "core/tasks/journalwriter.h"
#include "core/tasks/startupinputs.h"
#include "core/tasks/taskjournal.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/mainform/tasklistrows.h"
#include "helpers/testclips.h"
#include "helpers/testwindow.h"
#include "install/unprivileged.h"
#include "tasks/journaltest.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>

using mainform::TMainForm;
using namespace journaltest;

namespace {

const char *ChildDirectory = "VELKOR_JOURNAL_TEST_PROGRAM";
const char *ChildClips = "VELKOR_JOURNAL_TEST_CLIPS";
const char *ChildOutput = "VELKOR_JOURNAL_TEST_OUTPUT";

// Like the Phone profile, with a second frame size to choose.
const char *TabletProfile =
    "[Main]\r\nType=3gp\r\nPara=2\r\n0=Video Codec\r\n1=Audio Codec\r\n"
    "[Video Codec]\r\nSort=1\r\ncmd=-c:v\r\nList=1\r\nCaption=H.263 176x144,H.263 352x288,\r\n"
    "Value=h263 -s 176x144,h263 -s 352x288,\r\nIndex=0\r\n"
    "[Audio Codec]\r\nSort=2\r\ncmd=-c:a\r\nList=1\r\nCaption=AAC mono,\r\nValue=aac -ac 1 -ar 8000,\r\nIndex=0\r\n";

// The journal a window keeps of the clips added to it, as a termination leaves it.
tasks::TaskJournal journalOfClips(const QStringList &clips)
{
    testwindow::Window w({{"Phone.vkp", testwindow::PhoneProfile}}, testwindow::Encoder::Real);
    w.add(clips);
    const QString path = w.form->taskList().journalPath();
    w.form->closeWithoutQuestion();
    return tasks::decodeTaskJournal(readAll(path)).value_or(tasks::TaskJournal{});
}

} // namespace

// A list offered back after a kill, its converted rows, and inputs named relative to the working folder.
class JournalRestoreTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;

    QString clip(const QString &name) { return journaltest::clip(m_media, name); }

private slots:
    // A window killed during the second of three tasks: the next start offers the list back as it
    // was, and Start converts what was left.
    void restoreAfterAKill()
    {
        const QString first = m_media.filePath("-first ü.avi"), second = m_media.filePath("second clip.avi"),
                      third = m_media.filePath("third.avi");
        if (qEnvironmentVariableIsSet(ChildDirectory))
            return killedSession();
        QVERIFY(testclips::makeClip(first, 4) && testclips::makeClip(second, 60) && testclips::makeClip(third, 4));
        QTemporaryDir program, output;
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(ChildDirectory, program.path());
        environment.insert(ChildClips, m_media.path());
        environment.insert(ChildOutput, output.path());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {"restoreAfterAKill"});
        const QString journalPath = program.filePath("tasks.journal");
        const auto secondConverting = [&journalPath] {
            const auto journal = tasks::decodeTaskJournal(readAll(journalPath));
            return journal && journal->tasks.size() == 3 && journal->tasks[1].record.Status.startsWith("Converting");
        };
        QVERIFY(QTest::qWaitFor(secondConverting, 60000));
        QTRY_VERIFY(QFileInfo::exists(output.filePath("part two.3gp.part")));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        const QFileInfo firstOutput(output.filePath("part one.3gp"));
        QVERIFY(firstOutput.isFile());
        const QDateTime firstWritten = firstOutput.lastModified();

        testwindow::Window again({}, testwindow::Encoder::Real, program.path(), {platform::MessageButton::Yes});
        // The first task was complete: two were waiting.
        QCOMPARE(again.messageTexts(), QStringList{"The program ended while 2 tasks were waiting. Restore them?"});
        again.form->show();
        QCOMPARE(column(*again.form, tasks::SelectStatus), (QStringList{"Complete", "OK", "OK"}));
        QCOMPARE(column(*again.form, tasks::SelectNewName), (QStringList{"part one", "part two", "third"}));
        QCOMPARE(column(*again.form, tasks::SelectStart), (QStringList{"00:00:01", "00:00:00", "00:00:02"}));
        QCOMPARE(column(*again.form, tasks::SelectEnd), (QStringList{"00:00:03", "00:00:50", "00:00:04"}));
        QCOMPARE(again.form->edtOutputdir->text(), output.path());
        QCOMPARE(again.form->cmbProfile->currentText(), "Phone");
        QVERIFY(!QFileInfo::exists(output.filePath("part two.3gp.part")));

        QVERIFY(testwindow::startAndWaitForRun(*again.form));
        QCOMPARE(column(*again.form, tasks::SelectStatus), (QStringList{"Complete", "Complete", "Complete"}));
        QCOMPARE(QDir(output.path()).entryList(QDir::Files),
                 (QStringList{"part one.3gp", "part two.3gp", "third.3gp"}));
        QCOMPARE(QFileInfo(output.filePath("part one.3gp")).lastModified(), firstWritten);
    }

    // A restored complete row is left out of Start until a setting that decides every output
    // changes; edits of the row itself are the mark's, above.
    void aConvertedRowAfterAChange_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("converted");
        QTest::newRow("nothing") << "" << QStringList{"two clip.3gp"};
        QTest::newRow("the output folder") << "folder" << QStringList{"one.3gp", "two clip.3gp"};
        QTest::newRow("the profile") << "profile" << QStringList{"one.3gp", "two clip.3gp"};
        QTest::newRow("a parameter") << "parameter" << QStringList{"one.3gp", "two clip.3gp"};
    }

    void aConvertedRowAfterAChange()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, converted);
        QTemporaryDir program, output, other;
        tasks::TaskJournal journal = journalOfClips({clip("one.avi"), clip("two clip.avi")});
        QCOMPARE(journal.tasks.size(), 2);
        journal.profile = "Tablet";
        journal.outputFolder = output.path();
        journal.tasks[0].record.Status = "Complete";
        writeAll(program.filePath("tasks.journal"), tasks::encodeTaskJournal(journal));
        testwindow::Window w({{"Phone.vkp", testwindow::PhoneProfile}, {"Tablet.vkp", TabletProfile}},
                             testwindow::Encoder::Real, program.path(), {platform::MessageButton::Yes});
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        QCOMPARE(w.form->cmbProfile->currentText(), "Tablet");
        if (change == "folder") {
            w.form->edtOutputdir->selectAll();
            QTest::keyClicks(w.form->edtOutputdir, other.path());
        } else if (change == "profile") {
            w.form->cmbProfile->setFocus();
            QTest::keyClick(w.form->cmbProfile, Qt::Key_Up);
            QCOMPARE(w.form->cmbProfile->currentText(), "Phone");
        } else if (change == "parameter") {
            const int row = w.form->vleVideo->findRow("Video Codec");
            w.form->vleVideo->choosePickListEntry(row, "H.263 352x288");
            QCOMPARE(w.form->vleVideo->value(row), "H.263 352x288");
        }
        QVERIFY(testwindow::startAndWaitForRun(*w.form));
        QCOMPARE(QDir(w.form->edtOutputdir->text()).entryList(QDir::Files), converted);
        QCOMPARE(column(*w.form, tasks::SelectStatus), (QStringList{"Complete", "Complete"}));
    }

    // Inputs named relative to the working folder are listed by their whole paths, which a
    // journal restored from another folder still finds.
    void relativeInputs()
    {
        const QString working = QDir::currentPath();
        const auto back = qScopeGuard([&working] { QDir::setCurrent(working); });
        QVERIFY(QDir::setCurrent(m_media.path()));
        const QString lead = clip("-lead é.avi");
        writeAll(m_media.filePath("list.tmp"), "a.avi\r\n\r\n" + lead.toUtf8() + "\n");
        QCOMPARE(tasks::startupInputPaths({"-lead é.avi", "", "./sub/../a.avi"}),
                 (QStringList{lead, "", m_media.filePath("a.avi")}));
        QCOMPARE(tasks::startupInputPaths({"list.tmp"}), (QStringList{m_media.filePath("a.avi"), lead}));

        testwindow::Window w({{"Phone.vkp", testwindow::PhoneProfile}}, testwindow::Encoder::Real);
        w.form.reset();
        w.form = std::make_unique<mainform::TMainForm>(w.services, w.programDir.path(), QStringList{"-lead é.avi"});
        w.form->show();
        QVERIFY(QTest::qWaitFor([&w] { return !w.form->taskList().probingInputs(); }, 60000));
        QCOMPARE(w.form->ltvTask->topLevelItemCount(), 1);
        QCOMPARE(w.form->ltvTask->topLevelItem(0)->text(0), lead);
    }

private:
    // The child's side: three tasks with their own names and trims, Start, and then waiting to be killed.
    void killedSession()
    {
        const QString program = qEnvironmentVariable(ChildDirectory), output = qEnvironmentVariable(ChildOutput);
        const QDir media(qEnvironmentVariable(ChildClips));
        testwindow::Window w({{QStringLiteral("Phone.vkp"), QByteArray(testwindow::PhoneProfile)}},
                             testwindow::Encoder::Real, program);
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        w.form->edtOutputdir->setText(output);
        QStringList clips;
        for (const char *name : {"-first ü.avi", "second clip.avi", "third.avi"})
            clips << media.filePath(name);
        w.add(clips);
        const struct {
            int row;
            QString name, start, end;
        } settings[] = {
            {0, "part one", "00:00:01", "00:00:03"}, {1, "part two", "", "00:00:50"}, {2, "", "00:00:02", ""}};
        for (const auto &task : settings) {
            QTest::mouseClick(w.form->ltvTask->viewport(), Qt::LeftButton, {},
                              w.form->ltvTask->visualItemRect(w.form->ltvTask->topLevelItem(task.row)).center());
            if (!task.name.isEmpty())
                typeSetting(w.form->vleOutput, "New Filename", task.name);
            if (!task.start.isEmpty())
                typeSetting(w.form->vleOutput, "Start Time", task.start);
            if (!task.end.isEmpty())
                typeSetting(w.form->vleOutput, "End Time", task.end);
        }
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QTest::qWait(120000);
        QFAIL("The window was not killed.");
    }
};

std::unique_ptr<QObject> makeJournalRestoreTest()
{
    return std::make_unique<JournalRestoreTest>();
}

#include "tst_journalrestore.moc"
