// How long the event loop is held: a 5 ms timer measures its own lateness while the main window
// (offscreen) adds a folder of small clips with a named pipe among them, and while a batch run
// converts a long clip through the encoder program, and while a list of a thousand rows is edited
// and journaled. The conversion time is printed against bare FFmpeg with the same switches,
// measured in the same run.
#include "core/conversion/batchrun.h"
#include "core/platform/qtchildprocess.h"
#include "core/tasks/taskjournal.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/tasklist.h"
#include "gui/widgets/errordisplay.h"
#include "helpers/testclips.h"
#include "windowservices.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdio>

using mainform::TMainForm;

namespace {

const QStringList Switches{"-c:v", "h263", "-s", "176x144", "-r", "15", "-c:a", "aac", "-ac", "1", "-ar", "8000"};

bool makeClip(const QString &path, double seconds, const QString &size = "640x480")
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg",
                 {"-v", "error", "-f", "lavfi", "-i",
                  QString("testsrc=size=%1:rate=25:duration=%2").arg(size).arg(seconds), "-f", "lavfi", "-i",
                  QString("sine=duration=%1").arg(seconds), "-c:v", "mpeg4", "-c:a", "mp3", "-shortest", path});
    return ffmpeg.waitForFinished(600000) && ffmpeg.exitCode() == 0;
}

// How late a 5 ms timer fires at worst while it runs.
class LatenessWatch {
public:
    static constexpr int TickMs = 5;
    LatenessWatch()
    {
        m_ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            m_worstNs = std::max(m_worstNs, m_sinceTick.nsecsElapsed() - qint64(TickMs) * 1000000);
            m_sinceTick.restart();
        });
        m_sinceTick.start();
        m_ticker.start(TickMs);
    }
    double worstMs() const { return double(m_worstNs) / 1e6; }

private:
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    qint64 m_worstNs = 0;
};

struct FolderFigure {
    bool ok = false;
    int rows = 0;
    double addingMs = 0;
    double worstLatenessMs = 0;
};

// Add Directory in the real window on a folder of clips with a named pipe among them, which holds
// its probe until the time limit.
FolderFigure addFolderInTheWindow(const QString &encoder, int clips, int probeLimitMs)
{
    FolderFigure figure;
    QTemporaryDir program;
    QTemporaryDir folder;
    const QString clip = program.filePath("clip.avi");
    if (!makeClip(clip, 0.4, "160x120"))
        return figure;
    for (int i = 0; i < clips; ++i)
        QFile::copy(clip, folder.filePath(QString("clip%1.avi").arg(i, 2, 10, QChar('0'))));
    // A folder lists files only: a link is what puts the pipe among them.
    const QString pipe = program.filePath("pipe");
    if (!testclips::makeNamedPipe(pipe) ||
        !QFile::link(pipe, folder.filePath(QString("clip%1 stuck.mp4").arg(clips / 2, 2, 10, QChar('0')))))
        return figure;
    QDir(program.path()).mkdir("Profiles");
    QFile::link(encoder, program.filePath("wmaspi.dll"));

    WindowServices window;
    {
        TMainForm form(window.services, program.path());
        form.taskList().setProbeTimeLimit(probeLimitMs);
        form.show();
        QApplication::processEvents();
        window.dialogs.folderToChoose = folder.path();
        QElapsedTimer clock;
        const LatenessWatch watch;
        clock.start();
        form.tbtnAddDir->click();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!form.taskList().probingInputs() || clock.elapsed() > 120000)
                loop.quit();
        });
        poll.start(1);
        loop.exec();
        figure.addingMs = double(clock.nsecsElapsed()) / 1e6;
        figure.worstLatenessMs = watch.worstMs();
        figure.rows = form.ltvTask->topLevelItemCount();
        figure.ok = !form.taskList().probingInputs();
    }
    return figure;
}

struct JournalFigure {
    bool ok = false;
    qint64 journalBytes = 0;
    int writes = 0;
    double worstLatenessMs = 0;
};

// A list of many rows, restored from a journal, edited through the window: each Move Up or Move
// Down of a block of rows changes a few dozen rows, and every change is journaled again.
JournalFigure editALongList(const QString &encoder, int rows, int edits)
{
    JournalFigure figure;
    QTemporaryDir program;
    QDir(program.path()).mkdir("Profiles");
    QFile::link(encoder, program.filePath("wmaspi.dll"));
    tasks::TaskJournal journal;
    journal.outputFolder = program.path();
    for (int row = 0; row < rows; ++row) {
        tasks::Task entry;
        const QString name = QString("holiday clip %1").arg(row, 4, 10, QChar('0'));
        entry.record = {"/home/user/Videos/camera/" + name + ".mp4",
                        "00:03:12.4",
                        " 1920x1080",
                        "OK",
                        name,
                        ".3gp",
                        "00:00:00.0",
                        "00:03:12.4",
                        "00:03:12.4",
                        "00:00:00.0",
                        "00:03:12.4"};
        journal.tasks << entry;
    }
    const QString journalPath = program.filePath("tasks.journal");
    QFile file(journalPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(tasks::encodeTaskJournal(journal)) < 0)
        return figure;
    file.close();

    WindowServices window; // its dialogs answer Yes to the offer of the list
    {
        TMainForm form(window.services, program.path());
        form.show();
        QApplication::processEvents();
        if (form.ltvTask->topLevelItemCount() != rows)
            return figure;
        for (int row = rows / 2; row < rows / 2 + 20; ++row)
            form.ltvTask->topLevelItem(row)->setSelected(true);
        QDateTime lastWrite = QFileInfo(journalPath).lastModified();
        const LatenessWatch watch;
        for (int edit = 0; edit < edits; ++edit) {
            (edit % 2 ? form.tbtnDown : form.tbtnUp)->click();
            // Longer than the journal's interval, so that every edit is written.
            QEventLoop loop;
            QTimer::singleShot(400, &loop, &QEventLoop::quit);
            loop.exec();
            const QDateTime written = QFileInfo(journalPath).lastModified();
            figure.writes += written != lastWrite;
            lastWrite = written;
        }
        figure.worstLatenessMs = watch.worstMs();
        figure.journalBytes = QFileInfo(journalPath).size();
        figure.ok = true;
    }
    return figure;
}

double bareFfmpegMs(const QString &input, const QString &output)
{
    QProcess ffmpeg;
    QElapsedTimer clock;
    clock.start();
    ffmpeg.start("ffmpeg", QStringList{"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", input} + Switches +
                               QStringList{output});
    const bool ok = ffmpeg.waitForFinished(600000) && ffmpeg.exitCode() == 0;
    return ok ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString encoder =
        QFileInfo(argc > 1 ? QString::fromLocal8Bit(argv[1]) : app.applicationDirPath() + "/wmaspi.dll")
            .absoluteFilePath();
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 120;

    constexpr int FolderClips = 50;
    constexpr int ProbeLimitMs = 3000;
    const FolderFigure folder = addFolderInTheWindow(encoder, FolderClips, ProbeLimitMs);
    std::printf("folder: %d clips and a named pipe, probe time limit %d ms, added through the window\n", FolderClips,
                ProbeLimitMs);
    std::printf("rows listed:             %d of %d%s\n", folder.rows, FolderClips + 1,
                folder.ok ? "" : " (did not end)");
    std::printf("adding took:             %.0f ms\n", folder.addingMs);
    std::printf("worst event-loop lateness while adding: %.1f ms (goal: under 50 ms)\n", folder.worstLatenessMs);

    constexpr int JournalRows = 1000, JournalEdits = 20;
    const JournalFigure list = editALongList(encoder, JournalRows, JournalEdits);
    std::printf("list: %d rows restored from a journal, %d moves of a block of 20 rows\n", JournalRows, JournalEdits);
    std::printf("journal size:            %lld bytes\n", list.journalBytes);
    std::printf("journal writes seen:     %d of %d\n", list.writes, JournalEdits);
    std::printf("worst event-loop lateness while editing: %.1f ms (goal: under 20 ms)\n", list.worstLatenessMs);

    QTemporaryDir dir;
    const QString clip = dir.filePath("long clip.avi");
    if (!makeClip(clip, seconds)) {
        std::fprintf(stderr, "could not make the clip with ffmpeg\n");
        return 1;
    }

    conversion::BatchPlan plan;
    plan.encoderPath = encoder;
    plan.outputDirectory = dir.path();
    plan.profileExtension = ".3gp";
    plan.parameters = " " + Switches.join(' ');
    ltvItemData task;
    task.InputFile = clip;
    task.NewName = "converted";
    task.OutputExt = ".3gp";
    task.LengthSec = task.SpanSec = seconds;
    plan.tasks << task;

    platform::QtProcessLauncher launcher;
    conversion::BatchRun run(launcher);
    QEventLoop loop;
    conversion::RunSummary summary;
    QObject::connect(&run, &conversion::BatchRun::runEnded, &loop, [&](const conversion::RunSummary &s) {
        summary = s;
        loop.quit();
    });
    QString status;
    QObject::connect(&run, &conversion::BatchRun::taskEnded, &loop,
                     [&](int, conversion::TaskStatus s) { status = conversion::statusText(s); });

    QElapsedTimer clock;
    clock.start();
    const LatenessWatch watch;
    run.start(plan);
    loop.exec();
    const double longestStallMs = watch.worstMs();
    const double runMs = double(clock.nsecsElapsed()) / 1e6;
    const double bareMs = bareFfmpegMs(clip, dir.filePath("bare.3gp"));

    std::printf("clip: %d s of 640x480 mpeg4/mp3 to 176x144 h263/aac\n", seconds);
    std::printf("task status:             %s\n", qPrintable(status));
    std::printf("longest event-loop stall: %.1f ms (goal: under 20 ms)\n", longestStallMs);
    std::printf("batch run:               %.0f ms\n", runMs);
    std::printf("bare ffmpeg:             %.0f ms\n", bareMs);
    if (bareMs > 0)
        std::printf("ratio run / ffmpeg:      %.2f\n", runMs / bareMs);
    return folder.ok && list.ok && folder.rows == FolderClips + 1 && summary.end == conversion::RunEnd::Completed ? 0
                                                                                                                  : 1;
}
