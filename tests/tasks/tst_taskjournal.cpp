#include "core/platform/qtchildprocess.h"
#include "core/protocol/qtpartialoutput.h"
#include "core/tasks/journalslot.h"
#include "core/tasks/journalwriter.h"
#include "core/tasks/startupinputs.h"
#include "core/tasks/taskjournal.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/mainform/tasklistrows.h"
#include "helpers/processalive.h"
#include "helpers/testclips.h"
#include "helpers/testwindow.h"
#include "install/unprivileged.h"
#include "tasks/journaltest.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>

using mainform::TMainForm;
using namespace journaltest;

namespace {

const char *SlotHolderFolder = "VELKOR_SLOT_HOLDER_FOLDER";

// The notices about the journal, leaving out the end of a batch.
QStringList journalNotices(const testwindow::Window &w)
{
    QStringList texts;
    for (const auto &notice : w.notifications.shown) {
        if (notice.body.startsWith("The task list cannot be kept"))
            texts << notice.body;
    }
    return texts;
}

} // namespace

class TaskJournalTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;

    QString clip(const QString &name) { return journaltest::clip(m_media, name); }

private slots:
    void reading_data()
    {
        const QByteArray written = tasks::encodeTaskJournal(sampleJournal());
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem"); // empty: read back as written
        QTest::newRow("as written") << written << "";
        QTest::newRow("cut off") << written.left(written.size() * 2 / 3) << "it is cut off or damaged";
        QTest::newRow("empty") << QByteArray() << "it is cut off or damaged";
        QTest::newRow("newer version") << QByteArray(written).replace("\"version\":1", "\"version\":2")
                                       << "a newer version of the program wrote it";
        QTest::newRow("another program's JSON")
            << QByteArray("{\"version\":1,\"tasks\":[]}") << "it is not a task list";
        QTest::newRow("a number for a text")
            << QByteArray(written).replace("\"size\":\" 320x240\"", "\"size\":320") << "it is cut off or damaged";
        QTest::newRow("a key this version does not know")
            << QByteArray(written).replace("\"size\":", "\"subtitles\":\"x\",\"size\":") << "it is cut off or damaged";
        QTest::newRow("a task without its end")
            << QByteArray(written).replace(",\"end\":\"00:00:03\"", "") << "it is cut off or damaged";
    }

    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        QString why;
        const std::optional<tasks::TaskJournal> read = tasks::decodeTaskJournal(bytes, &why);
        QCOMPARE(why, problem);
        QCOMPARE(read.has_value(), problem.isEmpty());
        if (read)
            QCOMPARE(tasks::encodeTaskJournal(*read), bytes);
    }

    // Each window of one folder has its own journal; a slot let go is the next window's.
    void slotsOfOneFolder()
    {
        QTemporaryDir folder;
        auto first = tasks::JournalSlot::claim(folder.path());
        auto second = tasks::JournalSlot::claim(folder.path());
        QVERIFY(first && second);
        QVERIFY(first->journalPath() != second->journalPath());
        const QString firstPath = first->journalPath();
        first.reset();
        QCOMPARE(tasks::JournalSlot::claim(folder.path())->journalPath(), firstPath);
    }

    // The start after a normal close, after No, after a damaged journal, and two windows at once.
    void startAfterAJournal()
    {
        // A termination request keeps the list for the next start; the close the user asks for
        // then removes it.
        QVERIFY(testclips::makeClip(m_media.filePath("a.avi"), 1));
        auto terminated = std::make_unique<testwindow::Window>(
            QList<std::pair<QString, QByteArray>>{{"Phone.vkp", testwindow::PhoneProfile}});
        terminated->add({m_media.filePath("a.avi")});
        const QString journal = terminated->form->taskList().journalPath();
        terminated->form->closeWithoutQuestion();
        QCOMPARE(tasks::decodeTaskJournal(readAll(journal))->tasks.size(), 1);
        const QString program = QFileInfo(journal).absolutePath();
        terminated->form.reset();
        testwindow::Window closed({}, testwindow::Encoder::Fake, program);
        QCOMPARE(closed.form->ltvTask->topLevelItemCount(), 1);
        closed.form->close();
        QVERIFY(!QFileInfo::exists(journal));
        closed.form.reset();

        // A second window beside the first keeps a journal of its own.
        writeAll(journal, tasks::encodeTaskJournal(sampleJournal()));
        testwindow::Window declined({}, testwindow::Encoder::Fake, program, {platform::MessageButton::No});
        QCOMPARE(declined.form->taskList().journalPath(), journal);
        {
            testwindow::Window beside({}, testwindow::Encoder::Fake, program);
            QVERIFY(beside.form->taskList().journalPath() != journal);
            QVERIFY(beside.dialogs.messages.isEmpty());
        }
        QCOMPARE(declined.messageTexts(), QStringList{"The program ended while 2 tasks were waiting. Restore them?"});
        QCOMPARE(declined.form->ltvTask->topLevelItemCount(), 0);
        const QString previous = program + "/tasks.previous";
        QCOMPARE(readAll(previous), tasks::encodeTaskJournal(sampleJournal()));
        declined.form->close();
        declined.form.reset();

        // The start after the one that declined lets the set-aside list go; a damaged journal is
        // kept aside and said in one sentence.
        const QByteArray damaged = tasks::encodeTaskJournal(sampleJournal()).left(100);
        writeAll(journal, damaged);
        testwindow::Window unreadable({}, testwindow::Encoder::Fake, program);
        QVERIFY(!QFileInfo::exists(previous));
        QCOMPARE(unreadable.form->ltvTask->topLevelItemCount(), 0);
        QCOMPARE(unreadable.messageTexts(),
                 QStringList{"The task list of the last session could not be restored because it is cut off or "
                             "damaged; the program starts with an empty list and keeps the file as \"" +
                             program + "/tasks.unreadable\"."});
        QCOMPARE(readAll(program + "/tasks.unreadable"), damaged);
    }

    // The lowest layer of each failure: the folder, a path that is no file, a write.
    void journalFailures()
    {
        QTemporaryDir folder;
        writeAll(folder.filePath("file"), "not a folder");
        QString problem;
        QVERIFY(!tasks::JournalSlot::claim(folder.filePath("file/journals"), &problem));
        QCOMPARE(problem, "the folder \"" + folder.filePath("file/journals") + "\" cannot be written");

        auto slot = tasks::JournalSlot::claim(folder.path());
        QVERIFY(slot && !slot->hasJournal());
        const QString notAFile = "\"" + slot->journalPath() + "\" is not a file";
        QCOMPARE(QProcess::execute("mkfifo", {slot->journalPath()}), 0);
        QVERIFY(slot->hasJournal());
        QVERIFY(!slot->readJournal(&problem));
        QCOMPARE(problem, notAFile);
        QVERIFY(QFile::remove(slot->journalPath()) && QDir().mkdir(slot->journalPath()));
        problem.clear();
        QVERIFY(!slot->readJournal(&problem));
        QCOMPARE(problem, notAFile);

        tasks::JournalWriter writer(slot->journalPath(), [] { return sampleJournal(); });
        QSignalSpy failed(&writer, &tasks::JournalWriter::writeFailed);
        writer.flush();
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(writer.lastError(), failed.first().first().toString());
        QVERIFY(QDir().rmdir(slot->journalPath()));
        writer.flush();
        QCOMPARE(writer.lastError(), QString());
        QCOMPARE(slot->readJournal(&problem).value_or(QByteArray()), tasks::encodeTaskJournal(sampleJournal()));
    }

    // The slots of windows that died are claimed with their lists; a living window's is its own.
    void slotsLeftBehind()
    {
        QTemporaryDir folder;
        const auto living = tasks::JournalSlot::claim(folder.path());
        writeAll(living->journalPath(), "");
        writeAll(folder.filePath("tasks-3.journal"), "");
        writeAll(folder.filePath("tasks-4.previous"), "");
        const auto left = tasks::JournalSlot::claimLeftBehind(folder.path());
        QCOMPARE(left.size(), size_t(1));
        QCOMPARE(left.front()->journalPath(), folder.filePath("tasks-3.journal"));
        QVERIFY(!QFileInfo::exists(folder.filePath("tasks-4.previous")));
    }

    // A killed window's slot is taken over only once the processes it started are gone too: one
    // still running could write the partial file that the restore removes.
    void aSlotWaitsForItsWindowsProcesses()
    {
        if (qEnvironmentVariableIsSet(SlotHolderFolder))
            return holdASlotWithALingeringProcess();
        QTemporaryDir folder;
        QProcess window;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(SlotHolderFolder, folder.path());
        window.setProcessEnvironment(environment);
        window.start(QCoreApplication::applicationFilePath(), {"aSlotWaitsForItsWindowsProcesses"});
        const QRegularExpression started("child=(\\d+)\n");
        QByteArray said;
        QVERIFY(QTest::qWaitFor([&] { return started.match(said += window.readAll()).hasMatch(); }, 60000));
        const qint64 lingering = started.match(said).captured(1).toLongLong();
        window.kill();
        QVERIFY(window.waitForFinished(10000));
        QVERIFY(testprocess::processAlive(lingering));

        const auto slot = tasks::JournalSlot::claim(folder.path());
        QVERIFY(slot);
        QCOMPARE(slot->journalPath(), folder.filePath("tasks.journal"));
        QVERIFY(!testprocess::processAlive(lingering));
    }

    // Each cause is told once in a notice, and the window works on without a journal; one it
    // cannot read it leaves as it is.
    void aJournalThatCannotBeKept_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("a named pipe") << "pipe";
        QTest::newRow("no permission to read") << "unreadable";
        QTest::newRow("a folder without write permission") << "folder";
        QTest::newRow("writes that fail") << "write";
    }

    void aJournalThatCannotBeKept()
    {
        QFETCH(QString, cause);
        if ((cause == "unreadable" || cause == "folder") && unprivileged::isPrivileged()) {
            const QByteArray test = QByteArray("aJournalThatCannotBeKept:") + QTest::currentDataTag();
            QVERIFY2(unprivileged::rerunAsNobody(test.constData()), "failed as the user nobody");
            return;
        }
        QTemporaryDir program, data;
        QString journal = program.filePath("tasks.journal"), cannot;
        const QByteArray homes[] = {qgetenv("XDG_DATA_HOME"), qgetenv("XDG_CONFIG_HOME")};
        const auto back = qScopeGuard([&homes] {
            qputenv("XDG_DATA_HOME", homes[0]);
            qputenv("XDG_CONFIG_HOME", homes[1]);
        });
        if (cause == "pipe") {
            QCOMPARE(QProcess::execute("mkfifo", {journal}), 0);
            cannot = "\"" + journal + "\" is not a file";
        } else if (cause == "unreadable") {
            writeAll(journal, "a list");
            QVERIFY(QFile::setPermissions(journal, QFile::WriteOwner));
            cannot = "\"" + journal + "\" cannot be read (Permission denied)";
        } else if (cause == "folder") {
            writeAll(program.filePath("system-wide"), "");
            QVERIFY(QDir(data.path()).mkpath("config/velkor") && QDir(data.path()).mkdir("velkor"));
            QVERIFY(QFile::setPermissions(data.filePath("velkor"), QFile::ReadOwner | QFile::ExeOwner));
            qputenv("XDG_DATA_HOME", data.path().toUtf8());
            qputenv("XDG_CONFIG_HOME", data.filePath("config").toUtf8());
            cannot = "the folder \"" + data.filePath("velkor") + "\" cannot be written";
        }
        testwindow::Window w({{"Phone.vkp", testwindow::PhoneProfile}}, testwindow::Encoder::Real, program.path());
        if (cause == "write") {
            journal = w.form->taskList().journalPath();
            QVERIFY(QDir().mkdir(journal));
            cannot = "\"" + journal + "\" cannot be written (Filename refers to a directory)";
        }
        const QStringList told{"The task list cannot be kept: " + cannot +
                               "; it will not be offered back after a crash."};
        w.add({clip("a.avi")});
        QTRY_COMPARE(journalNotices(w), told);
        w.add({clip("b clip.avi")});
        w.form->closeWithoutQuestion();
        QCoreApplication::processEvents();
        QCOMPARE(journalNotices(w), told);
        QCOMPARE(w.form->ltvTask->topLevelItemCount(), 2);
        QVERIFY(w.dialogs.messages.isEmpty());
        if (cause == "unreadable") {
            QVERIFY(QFile::setPermissions(journal, QFile::ReadOwner | QFile::WriteOwner));
            QCOMPARE(readAll(journal), QByteArray("a list"));
        }
    }

    // A list declined, or with nothing left to convert, waits a start; the question counts what
    // was left, and No removes the partial file of the task cut off.
    void aListSetAside_data()
    {
        QTest::addColumn<QString>("lastStatus");
        QTest::addColumn<QString>("question"); // empty: none asked
        QTest::newRow("one waiting, declined") << "Converting 40%"
                                               << "The program ended while 1 task was waiting. Restore it?";
        QTest::newRow("one paused, declined") << "Paused"
                                              << "The program ended while 1 task was waiting. Restore it?";
        QTest::newRow("every task complete") << "Complete"
                                             << "";
    }

    void aListSetAside()
    {
        QFETCH(QString, lastStatus);
        QFETCH(QString, question);
        QTemporaryDir program, output;
        tasks::TaskJournal journal = sampleJournal();
        journal.tasks[0].record.Status = "Complete";
        journal.tasks[1].record.Status = lastStatus;
        journal.tasks[1].output = output.filePath("cut off.3gp");
        const QString partial = protocol::partialOutputPath(journal.tasks[1].output);
        writeAll(partial, "half a video");
        const QByteArray written = tasks::encodeTaskJournal(journal);
        writeAll(program.filePath("tasks.journal"), written);
        testwindow::Window w({}, testwindow::Encoder::Fake, program.path(), {platform::MessageButton::No});
        QCOMPARE(w.messageTexts(), question.isEmpty() ? QStringList{} : QStringList{question});
        QCOMPARE(w.form->ltvTask->topLevelItemCount(), 0);
        QCOMPARE(readAll(program.filePath("tasks.previous")), written);
        QCOMPARE(QFileInfo::exists(partial), lastStatus == "Complete");
    }

    // The list of a second window that died is offered by the next window to start, even alone.
    void aListLeftByASecondWindow()
    {
        QTemporaryDir program;
        const QString left = program.filePath("tasks-2.journal");
        writeAll(left, tasks::encodeTaskJournal(sampleJournal()));
        testwindow::Window w({}, testwindow::Encoder::Fake, program.path(), {platform::MessageButton::Yes});
        QCOMPARE(w.messageTexts(), QStringList{"The program ended while 2 tasks were waiting. Restore them?"});
        QCOMPARE(column(*w.form, tasks::SelectNewName), (QStringList{"first", "q"}));
        QVERIFY(!QFileInfo::exists(left));
        QCOMPARE(tasks::decodeTaskJournal(readAll(w.form->taskList().journalPath()))->tasks.size(), 2);
    }

    // The mark of a converted row holds only while its output texts stay.
    void convertedEarlierMark()
    {
        QTreeWidget list;
        list.setColumnCount(tasks::SubItemCount + 1);
        list.addTopLevelItem(new mainform::TaskRow(tasks::Task(sampleJournal().tasks.constFirst().record)));
        mainform::WriteTask(list, 0, tasks::SelectWholeRow, sampleJournal().tasks.constFirst().record);
        mainform::SetConvertedEarlier(list, 0, true);
        ltvItemData record;
        record.Status = "Complete";
        mainform::WriteTask(list, 0, tasks::SelectStatus, record);
        QVERIFY(mainform::ConvertedEarlier(list, 0));
        for (int sub : {tasks::SelectNewName, tasks::SelectOutputExt, tasks::SelectStart, tasks::SelectEnd}) {
            mainform::SetConvertedEarlier(list, 0, true);
            record.*tasks::subItemField(sub) = "changed";
            mainform::WriteTask(list, 0, sub, record);
            QVERIFY2(!mainform::ConvertedEarlier(list, 0), qPrintable(QString::number(sub)));
        }
    }

private:
    // The window's side: its slot, and a child whose own child outlives it by two seconds, as an
    // encoder slow to die would.
    void holdASlotWithALingeringProcess()
    {
        const auto slot = tasks::JournalSlot::claim(qEnvironmentVariable(SlotHolderFolder));
        QVERIFY(slot);
        writeAll(slot->journalPath(), tasks::encodeTaskJournal(sampleJournal()));
        platform::QtProcessLauncher launcher;
        const auto child = launcher.create();
        QVERIFY(child->start("sh", {"-c", "sleep 2 & echo child=$!; wait"}));
        QByteArray said;
        while (!said.endsWith('\n'))
            said += child->read(64, QDeadlineTimer(10000)).value_or(QByteArray("\n"));
        std::fwrite(said.constData(), 1, size_t(said.size()), stdout);
        std::fflush(stdout);
        QTest::qWait(120000);
        QFAIL("The window was not killed.");
    }
};

std::unique_ptr<QObject> makeTaskJournalTest()
{
    return std::make_unique<TaskJournalTest>();
}

#include "tst_taskjournal.moc"
