#include <journalslot.h>
#include <taskjournal.h>
#include <testclips.h>
#include <testwindow.h>

#include <keyvaluegrid.h>

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>

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
    done.task = {"/v/-first ü.avi", "00:00:10", " 320x240", "Failed", "first", ".3gp",
                 "00:00:00.0", "00:00:10", "00:00:02", "00:00:01", "00:00:03"};
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
void typeSetting(profiles::KeyValueGrid *grid, const QString &key, const QString &text)
{
    const int row = grid->findRow(key);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(row, profiles::KeyValueGrid::ValueColumn)).center());
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

} // namespace

class TaskJournalTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;

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
        QTest::newRow("another program's JSON") << QByteArray("{\"version\":1,\"tasks\":[]}") << "it is not a task list";
        QTest::newRow("a number for a text") << QByteArray(written).replace("\"size\":\" 320x240\"", "\"size\":320")
                                             << "it is cut off or damaged";
        QTest::newRow("a key this version does not know")
            << QByteArray(written).replace("\"size\":", "\"subtitles\":\"x\",\"size\":") << "it is cut off or damaged";
        QTest::newRow("a task without its end") << QByteArray(written).replace(",\"end\":\"00:00:03\"", "")
                                                << "it is cut off or damaged";
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
                             "damaged; the program starts with an empty list and keeps the file as \""
                             + program + "/tasks.unreadable\"."});
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
        QCOMPARE(again.messageTexts(), QStringList{"The program ended while 3 tasks were waiting. Restore them?"});
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
        QCOMPARE(QDir(output.path()).entryList(QDir::Files), (QStringList{"part one.3gp", "part two.3gp", "third.3gp"}));
        QCOMPARE(QFileInfo(output.filePath("part one.3gp")).lastModified(), firstWritten);
    }

private:
    // The child's side: three tasks with their own names and trims, Start, and then waiting to be killed.
    void killedSession()
    {
        const QString program = qEnvironmentVariable(ChildDirectory), output = qEnvironmentVariable(ChildOutput);
        const QDir media(qEnvironmentVariable(ChildClips));
        testwindow::Window w({{QStringLiteral("Phone.vkp"), QByteArray(testwindow::PhoneProfile)}}, testwindow::Encoder::Real, program);
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        w.form->edtOutputdir->setText(output);
        QStringList clips;
        for (const char *name : {"-first ü.avi", "second clip.avi", "third.avi"})
            clips << media.filePath(name);
        w.add(clips);
        const struct { int row; QString name, start, end; } settings[] = {
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
