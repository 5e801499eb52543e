#include "core/conversion/mediaprobe.h"
#include "gui/mainform/tasklistrows.h"
#include "gui/settings/settingform.h"
#include "helpers/testclips.h"
#include "helpers/testwindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <memory>

namespace {

// A program directory of its own for each window, holding the real encoder.
struct Window : testwindow::Window {
    using testwindow::Window::Window;
    // Until the last file handed over is listed, or dropped.
    bool probed() const
    {
        return QTest::qWaitFor([this] { return !form->taskList().probingInputs(); }, 60000);
    }
    QStringList rows(int column = 0) const
    {
        QStringList texts;
        for (int row = 0; row < form->ltvTask->topLevelItemCount(); ++row)
            texts << form->ltvTask->topLevelItem(row)->text(column);
        return texts;
    }
    QStringList names() const
    {
        QStringList names;
        for (const QString &path : rows())
            names << QFileInfo(path).fileName();
        return names;
    }
};

} // namespace

class AddInputsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;
    QString m_clip;   // 2 s of 320x240 video with sound
    QString m_broken; // text in a video's clothes

    QString copyOfClip(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile::copy(m_clip, path);
        return path;
    }

private slots:
    void initTestCase()
    {
        m_clip = m_media.filePath("clip.avi");
        QVERIFY2(testclips::makeClip(m_clip, 2), "ffmpeg must be on PATH");
        m_broken = m_media.filePath("broken.avi");
        QFile broken(m_broken);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("this is no video\n");
    }

    void cutRules_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("duration");
        QTest::addColumn<QString>("frameSize");
        const QString head = "Input #0, avi, from '/v/a.avi':\n";
        QTest::newRow("usual") << head + "  Duration: 00:01:23.4, start: 0.000000, bitrate: 1234 kb/s\n"
                                         "    Stream #0.0: Video: mpeg4, yuv420p, 320x240, 25.00 fps\n"
                               << "00:01:23.4"
                               << " 320x240";
        QTest::newRow("path twice")
            << head + "  Duration: 00:00:10.5, start: 0.0, bitrate: 1 kb/s\n/v/a.avi\n"
                      "  Duration: 00:09:00, x\n    Stream #0.0: Video: h264, yuv420p, 640x480, 25 fps\n"
            << "00:00:10.5"
            << " 640x480";
        QTest::newRow("sound only") << head + "  Duration: 00:00:03, start: 0.000000, bitrate: 128 kb/s\n"
                                              "    Stream #0.0: Audio: mp3, 44100 Hz, stereo\n"
                                    << "00:00:03"
                                    << " 44100 Hz";
        QTest::newRow("few commas after Video")
            << head + "  Duration: 00:00:03, start: 0, bitrate: 1 kb/s\n    Stream #0.0: Video: mpeg4, yuv420p\n"
                      "    Stream #0.1: Audio: aac, 48000 Hz, stereo\n"
            << "00:00:03"
            << " 48000 Hz";
        // A title before the video stream holds the word and commas of its own.
        QTest::newRow("titled track before Video")
            << head + "  Duration: 00:00:03, start: 0, bitrate: 1 kb/s\n"
                      "    Stream #0:0(fre): Audio: aac, 48000 Hz, stereo (default)\n      Metadata:\n"
                      "        title           : Video, a, b\n    Stream #0:1: Video: mpeg4, yuv420p, 320x240, 25 fps\n"
            << "00:00:03"
            << " 320x240";
        QTest::newRow("no comma after Video") << head + "  Duration: 00:00:03, start: 0, bitrate: 1 kb/s\n Video: x\n"
                                              << "00:00:03"
                                              << "";
        QTest::newRow("unknown duration") << head + "  Duration: N/A, start: 0, bitrate: N/A\n"
                                                    "    Stream #0.0: Video: mpeg4, yuv420p, 176x144, 25 fps\n"
                                          << "N/A"
                                          << " 176x144";
        QTest::newRow("error line") << "Cannot open '/v/a.avi': Invalid data found"
                                    << ""
                                    << "";
        // Without the path the cut starts as many characters in as the path is long.
        QTest::newRow("no path") << "Duration: 00:00:01, a, b, c"
                                 << "00:00:01"
                                 << "";
        // The facts line is the encoder's, not the report's: its letters may spell any word.
        QTest::newRow("facts line") << head + "  Duration: 00:00:03, start: 0.000000, bitrate: 128 kb/s\n"
                                              "    Stream #0.0: Audio: mp3, 44100 Hz, stereo\n  Facts: eyJ2Video_-9\n"
                                    << "00:00:03"
                                    << " 44100 Hz";
    }
    void cutRules()
    {
        QFETCH(QString, report);
        conversion::ProbeResults results;
        conversion::ProbeRunReader reader({"/v/a.avi"});
        const auto take = [&results](qsizetype, const conversion::ProbeResults &probe) { results = probe; };
        reader.feed(report.toUtf8(), take);
        reader.finish(take);
        QTEST(results.ProbeLengthText, "duration");
        QTEST(results.ProbeSizeText, "frameSize");
        QCOMPARE(results.ProbeFactsText, report.contains("Facts:") ? "eyJ2Video_-9" : "");
    }

    // A track's title never shifts the frame size, and the task carries the input's streams.
    void titledTracks()
    {
        const QString titled = m_media.filePath("titled, Video.mkv");
        const QStringList audioFirst = QStringLiteral("-f lavfi -i testsrc=size=320x240:rate=25:duration=1 -f lavfi "
                                                      "-i sine=duration=1 -map 1 -map 0 -c:v mpeg4 -c:a aac")
                                           .split(' ');
        QVERIFY(testclips::makeClip(audioFirst + QStringList{"-metadata:s:a:0", "title=Video, a, b", "-metadata:s:a:0",
                                                             "language=fre", titled}));
        Window w;
        w.form->taskList().AddInputFile(titled);
        QVERIFY(w.probed());
        QCOMPARE(w.rows(2), QStringList{" 320x240"});
        const QString tracks = mainform::taskAt(*w.form->ltvTask, 0).tracks;
        QVERIFY(!mainform::taskAt(*w.form->ltvTask, 0).sourceFacts.isEmpty());
        QVERIFY2(!tracks.contains("Facts"), qPrintable(tracks));
        QVERIFY2(tracks.startsWith("    Stream #0:0(fre): Audio: aac"), qPrintable(tracks));
        QVERIFY2(tracks.contains("\n      Metadata:\n        title           : Video, a, b\n    Stream #0:1: Video: "
                                 "mpeg4"),
                 qPrintable(tracks));
    }

    // A file whose probe fails shows empty texts, never its neighbour's.
    void probeOfRealFiles()
    {
        Window w;
        w.form->taskList().AddInputFile(m_clip);
        w.form->taskList().AddInputFile(m_broken);
        QVERIFY(w.probed());
        QCOMPARE(w.rows(1), (QStringList{"00:00:02", ""}));
        QCOMPARE(w.rows(2), (QStringList{" 320x240", ""}));
        QCOMPARE(w.rows(3), (QStringList{"OK", "OK"}));
        ltvItemData good, broken;
        w.form->ReadTask(0, tasks::SelectWholeRow, good);
        w.form->ReadTask(1, tasks::SelectWholeRow, broken);
        QCOMPARE(good.NewName, "clip");
        QCOMPARE(good.SourceStartText, "00:00:00.0");
        QCOMPARE(good.EndSec, 2.0);
        QCOMPARE(good.SpanSec, 2.0);
        QVERIFY(good.OutputExt.isEmpty()); // no profile loaded yet
        QCOMPARE(broken.LengthSec, -1.0);
        QCOMPARE(broken.EndSec, -1.0);
        QCOMPARE(broken.StartText, "00:00:00.0");

        QFile::remove(w.programDir.filePath("wmaspi.dll"));
        w.form->taskList().AddInputFile(copyOfClip(m_media.filePath("no encoder/clip.avi")));
        QVERIFY(w.probed());
        QCOMPARE(w.rows(1).last(), "");
        QCOMPARE(w.rows(2).last(), "");
    }

    void addByDialog()
    {
        Window w;
        QVERIFY(w.form->panbg->isVisibleTo(w.form.get()));
        const QString a = copyOfClip(m_media.filePath("dialog/a.avi"));
        const QString b = copyOfClip(m_media.filePath("dialog/b.avi"));
        const QString c = copyOfClip(m_media.filePath("dialog/c.avi"));
        w.dialogs.filesToOpen = {a};
        w.form->tbtnAddFile->click();
        QTRY_COMPARE(w.form->ltvTask->selectedItems().size(), 1);
        QVERIFY(!w.form->panbg->isVisibleTo(w.form.get()));
        QVERIFY(w.form->tbtnStart->isEnabled() && w.form->tbtnClear->isEnabled());
        w.form->ltvTask->clear();
        w.dialogs.filesToOpen = {a, b, c};
        w.form->tbtnAddFile->click();
        QVERIFY(w.probed());
        QCOMPARE(w.names(), (QStringList{"b.avi", "c.avi", "a.avi"}));
        QVERIFY(w.form->ltvTask->selectedItems().isEmpty());
        w.dialogs.filesToOpen = {b, QString(b).replace("b.avi", "B.avi")};
        w.form->tbtnAddFile->click(); // the same path again is ignored; another case is another task
        QVERIFY(w.probed());
        QCOMPARE(w.names(), (QStringList{"b.avi", "c.avi", "a.avi", "B.avi"}));
        QCOMPARE(w.dialogs.lastOpenFilter, w.form->openDialogFilter());

        // Cancelling with one task listed selects it.
        w.form->ltvTask->clear();
        w.form->taskList().AddInputFile(a);
        QVERIFY(w.probed());
        w.form->tbtnAddFile->click();
        QCOMPARE(w.form->ltvTask->selectedItems().size(), 1);
        QVERIFY(!w.form->panbg->isVisibleTo(w.form.get())); // never shown again
    }

    void addDirectory()
    {
        Window w;
        const QString folder = m_media.filePath("folder");
        for (const char *name : {"Clip.AVI", "clip.avi", "b.mpg", ".hidden.avi", "sub/inner.avi", "notes.txt"})
            copyOfClip(folder + "/" + name);
        QDir(folder).mkdir("dir.avi");
        w.dialogs.folderToChoose = folder;
        w.form->tbtnAddDir->click();
        QVERIFY(w.probed());
        QCOMPARE(w.dialogs.folderTitles, QStringList{"Add a directory to the Task List"});
        QCOMPARE(w.names(), (QStringList{"b.mpg", "Clip.AVI", "clip.avi"}));
        QCOMPARE(w.rows().first(), folder + "/b.mpg");
        QVERIFY(w.form->ltvTask->selectedItems().isEmpty());
        QVERIFY(w.form->tbtnRemove->isEnabled());

        Window empty;
        empty.dialogs.folderToChoose = folder + "/sub/none";
        empty.form->tbtnAddDir->click();
        QVERIFY(empty.probed());
        QVERIFY(empty.rows().isEmpty());
        QVERIFY(empty.form->panbg->isVisibleTo(empty.form.get()));
        QVERIFY(!empty.form->tbtnStart->isEnabled());
    }

    // A folder whose probing stalls on a named pipe with a video's name: the window stays live,
    // the rows come in the folder's order, and a Start pressed meanwhile converts every file of it.
    void aStalledProbeLeavesTheWindowLive()
    {
        const QString folder = m_media.filePath("stalling");
        for (const char *name : {"a.avi", "b.avi", "c.avi", "t.avi", "u.avi"})
            copyOfClip(folder + "/" + name);
        // A folder lists files only: a link is what puts a named pipe among them.
        const QString pipe = m_media.filePath("stalling pipe");
        QVERIFY(testclips::makeNamedPipe(pipe));
        QVERIFY(QFile::link(pipe, folder + "/stuck.mp4"));
        const QString output = m_media.filePath("stalling out");
        QVERIFY(QDir().mkpath(output));
        Window w(QList<std::pair<QString, QByteArray>>{{"Phone.vkp", testwindow::PhoneProfile}});
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        w.form->edtOutputdir->setText(output);
        w.form->SettingForm->chkOpenDir->setChecked(false);
        w.form->taskList().setProbeTimeLimit(1500);
        // The pipe's conversion waits for a writer: one that leaves at once gives it an empty input.
        std::unique_ptr<testclips::EmptyPipeWriter> writer;
        connect(&w.form->runControl().batchRun(), &conversion::BatchRun::taskStarted, this, [&writer, &pipe](int row) {
            if (row == 3)
                writer = std::make_unique<testclips::EmptyPipeWriter>(pipe);
        });
        QSignalSpy ended(&w.form->runControl().batchRun(), &conversion::BatchRun::runEnded);
        w.dialogs.folderToChoose = folder;
        QTest::mouseClick(w.form->tbtnAddDir, Qt::LeftButton);
        // The rows before the pipe are listed while its probe is held.
        QTRY_COMPARE(w.names(), (QStringList{"a.avi", "b.avi", "c.avi"}));
        QVERIFY(w.form->taskList().probingInputs());
        QTest::mouseClick(w.form->tbtnStart, Qt::LeftButton);
        QVERIFY(w.form->runIsIdle());
        QTRY_COMPARE_WITH_TIMEOUT(w.names().size(), 6, 30000);
        QCOMPARE(w.names(), (QStringList{"a.avi", "b.avi", "c.avi", "stuck.mp4", "t.avi", "u.avi"}));
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 120000);
        QCOMPARE(w.rows(3), (QStringList{"Complete", "Complete", "Complete", "Failed", "Complete", "Complete"}));
        QCOMPARE(QDir(output).entryList(QDir::Files).size(), 5);
    }

    // A folder of sources shares ".ts" with transport streams: only a stream becomes a task, one
    // the probe finds a stream in, or one it could not read in time: a named pipe holds the
    // window no longer than the probe's time limit, and is no source to leave out.
    void transportStreamsAmongSources()
    {
        const QString folder = m_media.filePath("sources");
        QDir().mkpath(folder);
        const auto write = [&folder](const char *name, const QByteArray &text) {
            QFile file(folder + "/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        };
        write("app.ts", "export const answer: number = 42;\n");
        write("lang.ts", "<?xml version=\"1.0\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\"></TS>\n");
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg",
                     {"-v", "error", "-y", "-i", m_clip, "-c", "copy", "-f", "mpegts", folder + "/stream.ts"});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
        // The same stream cut off one byte into its first packet: no sync at 0, but a stream.
        QFile stream(folder + "/stream.ts");
        QVERIFY(stream.open(QIODevice::ReadOnly));
        write("shifted.ts", stream.readAll().mid(1));
        const QString pipe = m_media.filePath("stalled stream");
        QVERIFY(testclips::makeNamedPipe(pipe));
        QVERIFY(QFile::link(pipe, folder + "/stalled.ts"));
        Window w;
        w.form->taskList().setProbeTimeLimit(1500);
        w.dialogs.folderToChoose = folder;
        QTest::mouseClick(w.form->tbtnAddDir, Qt::LeftButton);
        QVERIFY(w.form->taskList().probingInputs());
        QVERIFY(w.probed());
        QCOMPARE(w.names(), (QStringList{"shifted.ts", "stalled.ts", "stream.ts"}));
    }

    // A name that is no UTF-8 cannot be opened by the name Qt reads: the file is told of, with
    // its bytes, and the others are added.
    void aNameThatIsNoUtf8()
    {
        const QString folder = m_media.filePath("bytes");
        copyOfClip(folder + "/good é.avi");
        QVERIFY(testclips::copyUnderRawName(m_clip, folder, "bad\xff \xc3\xa9\xc3.avi"));
        QVERIFY(testclips::copyUnderRawName(m_clip, folder, "notes\xfe.txt"));
        Window w;
        w.dialogs.folderToChoose = folder;
        QTest::mouseClick(w.form->tbtnAddDir, Qt::LeftButton);
        QVERIFY(w.probed());
        QCOMPARE(w.names(), QStringList{"good é.avi"});
        QCOMPARE(w.messageTexts(), QStringList{"\"" + folder +
                                               "/bad\\xff é\\xc3.avi\" is left out: its name is "
                                               "not UTF-8, so it cannot be opened."});
        QVERIFY(testclips::removeTree(folder));
    }

    void dropFilesAndFolders()
    {
        Window w;
        const QString folder = m_media.filePath("dropped");
        copyOfClip(folder + "/x.mov");
        copyOfClip(folder + "/y.wmv");
        // A name far longer than the old 253-character limit is used whole.
        const QString deep = m_media.filePath(QString(120, 'd') + "/" + QString(120, 'e') + "/long clip.mp4");
        copyOfClip(deep);
        const QString text = m_media.filePath("readme.txt");
        QFile(text).open(QIODevice::WriteOnly);

        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(deep), QUrl::fromLocalFile(folder), QUrl::fromLocalFile(text)});
        // Qt delivers a drop only to a widget that a drag has entered.
        auto drop = [&] {
            QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(w.form.get(), &enter);
            QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(w.form.get(), &dropped);
        };
        w.form->DisableControlsForRun();
        drop();
        QVERIFY(w.probed());
        QVERIFY(w.rows().isEmpty());
        w.form->EnableControlsAfterRun();
        w.form->SetListButtonsEnabled(false);
        drop();
        QVERIFY(w.probed());
        QCOMPARE(w.rows(), (QStringList{deep, folder + "/x.mov", folder + "/y.wmv"}));
        QCOMPARE(w.rows(2).first(), " 320x240");
        QVERIFY(w.form->ltvTask->selectedItems().isEmpty());
        QVERIFY(w.form->tbtnStart->isEnabled());
    }
};

std::unique_ptr<QObject> makeAddInputsTest()
{
    return std::make_unique<AddInputsTest>();
}
#include "tst_addinputs.moc"
