// The encoder's child without an event loop: what it reads, how it says a program cannot run,
// and a child deaf to the request to end.
#include "core/platform/pipedchild.h"
#include "core/platform/stopsignals.h"

#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

const std::string FakeEncoder = VELKOR_TEST_BIN_DIR "/fake_encoder";

struct Collected {
    std::string output;
    std::string error;
    bool watchedReady = false;
};

// Waits in short steps until the child has ended, or a watched descriptor became readable.
Collected collect(platform::PipedChild &child, int watched = -1)
{
    Collected got;
    for (int step = 0; step < 1000; ++step) {
        const auto events = child.wait(50, watched);
        got.output += events.output;
        got.error += events.error;
        if (events.watchedReady) {
            got.watchedReady = true;
            return got;
        }
        if (events.ended)
            return got;
    }
    return got;
}

} // namespace

class PipedChildTest : public QObject {
    Q_OBJECT

private slots:
    void cannotStart_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "/nonexistent/ffmpeg"
                                 << "No such file or directory";
        QTest::newRow("not executable") << "plain.txt"
                                        << "Permission denied";
    }

    void cannotStart()
    {
        QFETCH(QString, program);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QFile plain(dir.filePath("plain.txt"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const std::string path = program.startsWith('/') ? program.toStdString() : dir.filePath(program).toStdString();
        platform::PipedChild child;
        std::string error;
        QVERIFY(!child.start(path, {}, &error));
        QCOMPARE(QString::fromStdString(error), reason);
    }

    // Each stream whole and apart, more than a pipe holds, the arguments as given, and the exit code.
    void readsBothStreams()
    {
        platform::PipedChild child;
        std::string error;
        const std::string script = R"(printf '%s|' "$@"; printf oops >&2; head -c 70000 /dev/zero; exit 3)";
        QVERIFY(child.start("/bin/sh", {"-c", script, "sh", "-a b", "q\"uote", "\xc3\xa9t\xc3\xa9"}, &error));
        const Collected got = collect(child);
        const std::string given = "-a b|q\"uote|\xc3\xa9t\xc3\xa9|";
        QCOMPARE(got.output.substr(0, given.size()), given);
        QCOMPARE(got.output.size(), given.size() + 70000);
        QCOMPARE(got.error, std::string("oops"));
        QVERIFY(!child.crashed());
        QCOMPARE(child.exitCode(), 3);
    }

    // A child that ignores SIGTERM ends only when killed; the stop signal wakes the waiter.
    void deafChildIsKilled()
    {
        platform::StopSignals stops;
        platform::PipedChild child;
        std::string error;
        QVERIFY(child.start(FakeEncoder, {"ignore-term", "out:ready", "sleep:30000"}, &error));
        std::string output;
        while (output != "ready")
            output += child.wait(50).output;
        ::raise(SIGTERM);
        QVERIFY(collect(child, stops.descriptor()).watchedReady);
        QVERIFY(stops.requested());
        child.terminate();
        const auto events = child.wait(300);
        QVERIFY(!events.ended);
        child.kill();
        collect(child);
        QVERIFY(child.crashed());
        QCOMPARE(child.exitCode(), SIGKILL);
    }
};

std::unique_ptr<QObject> makePipedChildTest()
{
    return std::make_unique<PipedChildTest>();
}

#include "tst_pipedchild.moc"
