#pragma once

#include "core/tasks/taskjournal.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/mainform/mainform.h"
#include "helpers/testclips.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

// What the journal's tests share: a sample list, the files they write, and the user's typing.
namespace journaltest {

inline tasks::TaskJournal sampleJournal()
{
    tasks::TaskJournal journal;
    journal.profile = "Phone";
    journal.outputFolder = "/srv/out dir/";
    tasks::Task done({"/v/-first ü.avi", "00:00:10", " 320x240", "Failed", "first", ".3gp", "00:00:00.0", "00:00:10",
                      "00:00:02", "00:00:01", "00:00:03"});
    done.log = "Invalid data found when processing input";
    done.setConvertedEarlier(true);
    tasks::Task converting({"/v/\"quoted\".avi", "", "", "Converting 40%", "q", "", "00:00:00.0", "", "", "", ""});
    converting.output = "/srv/out dir/q.3gp";
    journal.tasks = {done, converting};
    return journal;
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Types text into a row of the output settings as the user does: a click on the value, the
// keys, Enter.
inline void typeSetting(grids::KeyValueGrid *grid, const QString &key, const QString &text)
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

inline QStringList column(const mainform::TMainForm &form, int sub)
{
    QStringList texts;
    for (int row = 0; row < form.ltvTask->topLevelItemCount(); ++row)
        texts << form.ltvTask->topLevelItem(row)->text(tasks::columnOf(sub));
    return texts;
}

// Two seconds: a cut to whole seconds still leaves one.
inline QString clip(const QTemporaryDir &media, const QString &name)
{
    const QString path = media.filePath(name);
    if (!QFileInfo::exists(path) && !testclips::makeClip(path, 2))
        qWarning() << "no clip" << path;
    return path;
}

} // namespace journaltest
