#include "core/protocol/partialoutput.h"
#include "core/tasks/journalslot.h"
#include "core/tasks/journalwriter.h"
#include "core/tasks/startupinputs.h"
#include "core/tasks/taskjournal.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/mainform/tasklistrows.h"
#include "helpers/testclips.h"
#include "helpers/testwindow.h"
#include "install/unprivileged.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>

using mainform::TMainForm;

namespace {

const char *ChildDirectory = "VELKOR_JOURNAL_TEST_PROGRAM";
const char *ChildClips = "VELKOR_JOURNAL_TEST_CLIPS";
const char *ChildOutput = "VELKOR_JOURNAL_TEST_OUTPUT";

tasks::TaskJournal sampleJournal()
{
    tasks::TaskJournal journal;
    journal.profile = "Phone";
    journal.outputFolder = "/srv/out dir/";
    tasks::JournalTask done;
    done.task = {"/v/-first ü.avi", "00:00:10", " 320x240", "Failed",   "first",   ".3gp",
                 "00:00:00.0",      "00:00:10", "00:00:02", "00:00:01", "00:00:03"};
    done.log = "Invalid data found when processing input";
    done.convertedEarlier = true;
    tasks::JournalTask converting;
    converting.task = {"/v/\"quoted\".avi", "", "", "Converting 40%", "q", "", "00:00:00.0", "", "", "", ""};
    converting.output = "/srv/out dir/q.3gp";
    journal.tasks = {done, converting};
    return journal;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Types text into a row of the output settings as the user does: a click on the value, the
// keys, Enter.
void typeSetting(grids::KeyValueGrid *grid, const QString &key, const QString &text)
{
    const int row = grid->findRow(key);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(row, grids::KeyValueGrid::ValueColumn)).center());
    QTest::keyClicks(grid, text.left(1));
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor && editor != grid);
    editor->setProperty("text", QString()); // the first key may have gone in before the editor had the old text
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(grid->valueOf(key), text);
}

QStringList column(const TMainForm &form, int sub)
{
    QStringList texts;
    for (int row = 0; row < form.ltvTask->topLevelItemCount(); ++row)
        texts << form.ltvTask->topLevelItem(row)->text(tasks::columnOf(sub));
    return texts;
}

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
    const QString path = w.form->journalPath();
    w.form->closeWithoutQuestion();
    return tasks::decodeTaskJournal(readAll(path)).value_or(tasks::TaskJournal{});
}

} // namespace

class TaskJournalTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;

    // Two seconds: a cut to whole seconds still leaves one.
    QString clip(const QString &name)
    {
        const QString path = m_media.filePath(name);
        if (!QFileInfo::exists(path) && !testclips::makeClip(path, 2))
            qWarning() << "no clip" << path;
        return path;
    }

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
        const QString journal = terminated->form->journalPath();
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
        QCOMPARE(declined.form->journalPath(), journal);
        {
            testwindow::Window beside({}, testwindow::Encoder::Fake, program);
            QVERIFY(beside.form->journalPath() != journal);
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
            return journal && journal->tasks.size() == 3 && journal->tasks[1].task.Status.startsWith("Converting");
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
            journal = w.form->journalPath();
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
        QTest::newRow("every task complete") << "Complete"
                                             << "";
    }
    void aListSetAside()
    {
        QFETCH(QString, lastStatus);
        QFETCH(QString, question);
        QTemporaryDir program, output;
        tasks::TaskJournal journal = sampleJournal();
        journal.tasks[0].task.Status = "Complete";
        journal.tasks[1].task.Status = lastStatus;
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
        QCOMPARE(tasks::decodeTaskJournal(readAll(w.form->journalPath()))->tasks.size(), 2);
    }

    // The mark of a converted row holds only while its output texts stay.
    void convertedEarlierMark()
    {
        QTreeWidget list;
        list.setColumnCount(tasks::SubItemCount + 1);
        list.addTopLevelItem(new QTreeWidgetItem(QStringList{"/v/a.avi"}));
        mainform::WriteTask(list, 0, tasks::SelectWholeRow, sampleJournal().tasks.constFirst().task);
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
        journal.tasks[0].task.Status = "Complete";
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
        QVERIFY(QTest::qWaitFor([&w] { return !w.form->probingInputs(); }, 60000));
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

std::unique_ptr<QObject> makeTaskJournalTest()
{
    return std::make_unique<TaskJournalTest>();
}

#include "tst_taskjournal.moc"
