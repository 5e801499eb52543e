// The background probes of the window and of the command line, through the real encoder.
#include "core/conversion/probequeue.h"
#include "core/platform/qtchildprocess.h"
#include "helpers/processalive.h"
#include "helpers/testclips.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString Encoder = QStringLiteral(VELKOR_BIN_DIR "/wmaspi.dll");

struct CountingLauncher final : platform::ProcessLauncher {
    platform::QtProcessLauncher real;
    int runs = 0;
    std::unique_ptr<platform::ChildProcess> create() override
    {
        ++runs;
        return real.create();
    }
};

// The processes whose command line holds text.
QList<qint64> processesNaming(const QString &text)
{
    QList<qint64> found;
    const QByteArray needle = QFile::encodeName(text);
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (numeric && commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(needle))
            found << pid;
    }
    return found;
}

struct Told {
    QStringList paths;
    QList<conversion::ProbeResults> results;
    int idles = 0;
    explicit Told(conversion::ProbeQueue &queue)
    {
        QObject::connect(&queue, &conversion::ProbeQueue::probed,
                         [this](const QString &path, const conversion::ProbeResults &r) {
                             paths << path;
                             results << r;
                         });
        QObject::connect(&queue, &conversion::ProbeQueue::idle, [this] { ++idles; });
    }
    QStringList field(QString conversion::ProbeResults::*member) const
    {
        QStringList texts;
        for (const conversion::ProbeResults &r : results)
            texts << r.*member;
        return texts;
    }
};

} // namespace

class ProbeQueueTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;
    QString m_clip;
    QString m_pipe; // a named pipe with a video's name: its probe never ends

private slots:
    void initTestCase()
    {
        m_clip = m_media.filePath("clip.avi");
        QVERIFY2(testclips::makeClip(m_clip, 2), "ffmpeg must be on PATH");
        m_pipe = m_media.filePath("stuck.mp4");
        QVERIFY(testclips::makeNamedPipe(m_pipe));
    }

    // Inputs come out in the order appended, as each alone would; the pipe costs one time limit
    // and those after it go on in a second run; an unconfirmed input without a stream is dropped.
    void probesInTheOrderAppended()
    {
        const QString broken = m_media.filePath("broken.avi");
        const QString dashed = m_media.filePath("-dashed 'quoted'.avi");
        const QString text = m_media.filePath("app.ts");
        for (const auto &[path, contents] :
             {std::pair{broken, "this is no video\n"}, {text, "export const a = 1;\n"}}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) > 0);
        }
        QVERIFY(QFile::copy(m_clip, dashed));
        const QString missing = m_media.filePath("missing.avi");
        CountingLauncher launcher;
        conversion::ProbeQueue queue(launcher, Encoder);
        queue.setTimeLimit(1500);
        Told told(queue);
        QElapsedTimer clock;
        clock.start();
        for (const QString &path : {m_clip, broken, missing, m_pipe, dashed, text, m_clip})
            queue.append(path, path == text);
        QVERIFY(!queue.isIdle());
        QTRY_COMPARE_WITH_TIMEOUT(told.idles, 1, 30000);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 1500 && elapsed < 1500 + 5000, qPrintable(QString::number(elapsed)));
        QCOMPARE(launcher.runs, 2);
        QCOMPARE(told.paths, (QStringList{m_clip, broken, missing, m_pipe, dashed, m_clip}));
        QCOMPARE(told.field(&conversion::ProbeResults::ProbeLengthText),
                 (QStringList{"00:00:02", "", "", "", "00:00:02", "00:00:02"}));
        QCOMPARE(told.field(&conversion::ProbeResults::ProbeSizeText),
                 (QStringList{" 320x240", "", "", "", " 320x240", " 320x240"}));
        QCOMPARE(told.field(&conversion::ProbeResults::ProbeStartText), QStringList(6, "00:00:00.0"));
        QVERIFY(queue.isIdle());

        // An encoder that cannot start leaves every input without even a start.
        conversion::ProbeQueue noEncoder(launcher, "/nonexistent/wmaspi.dll");
        Told none(noEncoder);
        noEncoder.append(m_clip);
        QTRY_COMPARE(none.idles, 1);
        QCOMPARE(none.field(&conversion::ProbeResults::ProbeStartText), QStringList{""});
    }

    // An unconfirmed input whose probe runs out of time is told of: nothing showed it is no video.
    void anUnconfirmedInputOutOfTime()
    {
        const QString pipe = m_media.filePath("stuck stream.ts");
        QVERIFY(testclips::makeNamedPipe(pipe));
        platform::QtProcessLauncher launcher;
        conversion::ProbeQueue queue(launcher, Encoder);
        queue.setTimeLimit(1000);
        Told told(queue);
        queue.append(pipe, true);
        QTRY_COMPARE_WITH_TIMEOUT(told.idles, 1, 30000);
        QCOMPARE(told.paths, QStringList{pipe});
        QCOMPARE(told.field(&conversion::ProbeResults::ProbeLengthText), QStringList{""});
    }

    // A cancel kills the encoder held by the pipe at once; nothing is told after it.
    void cancelKillsTheEncoder()
    {
        platform::QtProcessLauncher launcher;
        conversion::ProbeQueue queue(launcher, Encoder);
        Told told(queue);
        queue.append(m_pipe);
        queue.append(m_clip);
        QTRY_VERIFY(!processesNaming(m_pipe).isEmpty());
        const QList<qint64> encoders = processesNaming(m_pipe);
        queue.cancel();
        QVERIFY(queue.isIdle());
        QTRY_VERIFY(std::none_of(encoders.cbegin(), encoders.cend(), testprocess::processAlive));
        QTest::qWait(100);
        QVERIFY(told.paths.isEmpty());
        QCOMPARE(told.idles, 0);
    }
};

std::unique_ptr<QObject> makeProbeQueueTest()
{
    return std::make_unique<ProbeQueueTest>();
}
#include "tst_probequeue.moc"
