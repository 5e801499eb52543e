// The parts of the program without its window that a real conversion hardly reaches: the rules
// of --set, the terminal's lines, and an interrupt at each stage of a run.
#include "cli/convertinputs.h"
#include "cli/convertoptions.h"
#include "cli/convertrun.h"
#include "cli/terminalreporter.h"
#include "core/platform/fakes/fakechildprocess.h"
#include "core/platform/fakes/fakeinterruption.h"
#include "core/platform/fakes/faketerminal.h"
#include "core/profiles/parametersettings.h"
#include "core/profiles/profilereading.h"
#include "helpers/testclips.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using platform::FakeRun;
using platform::FakeStart;

using Settings = QList<std::pair<QString, QString>>;

namespace {

profiles::ProfileData testProfile(bool customSize)
{
    profiles::ProfileData profile;
    profile.type = "mp4";
    const auto add = [&profile](const QString &name, int grid, bool list, bool readOnly, const QString &caption,
                                const QString &value, int index) {
        profiles::ProfileParameter parameter;
        parameter.name = name;
        parameter.sort = parameter.grid = grid;
        parameter.list = list;
        parameter.readOnly = readOnly;
        parameter.cmd = "-" + name.left(1).toLower();
        parameter.caption = caption;
        parameter.value = value;
        parameter.index = index;
        profile.parameters << parameter;
    };
    add("Video Size", profiles::VideoGrid, true, false,
        customSize ? "Original Size,352x288 (CIF),Custom Size," : "Original Size,352x288 (CIF),", ",352x288,,", 0);
    add("Bit Rate", profiles::VideoGrid, true, true, "64 kbps,128 kbps,", "64k,128k,", 1);
    add("Pixel", profiles::AdvancedGrid, false, true, "yuv420p", "yuv420p", 0);
    add("Filter", profiles::AdvancedGrid, false, false, "hflip", "ignored", 0);
    profile.para = int(profile.parameters.size());
    return profile;
}

QString parametersAfter(const Settings &settings, bool customSize = true)
{
    const profiles::ProfileData profile = testProfile(customSize);
    profiles::ParameterSettings shown(profile);
    for (const auto &[key, choice] : settings) {
        if (const auto refusal = shown.set(key, choice))
            return "refused: " + *refusal;
    }
    return profiles::BuildParameterString(profile, shown.shownValue());
}

// A reporter that writes down what it is told.
struct Record final : cli::ConvertReporter {
    QStringList events;
    void taskSkipped(const QString &input, const QString &output, cli::SkipReason) override
    {
        events << "skip " + input + " " + output;
    }
    void runStarted(int tasks) override { events << QStringLiteral("run %1").arg(tasks); }
    void taskStarted(int row, const QString &input, const QString &output) override
    {
        events << QStringLiteral("start %1 %2 %3").arg(row).arg(input, output);
    }
    void taskProgressed(int row, int percent) override
    {
        events << QStringLiteral("progress %1 %2").arg(row).arg(percent);
    }
    void taskEnded(int row, conversion::TaskStatus status, const QString &, const conversion::TrackReport &) override
    {
        events << QStringLiteral("%1 %2").arg(conversion::statusText(status)).arg(row);
    }
    void runEnded(const conversion::RunSummary &, int exitStatus) override
    {
        events << QStringLiteral("end %1").arg(exitStatus);
    }
    void error(const QString &text) override { events << "error " + text; }
    void runPaused() override { events << "paused"; }
    void runResumed() override { events << "resumed"; }
};

bool isProbe(const FakeStart &start)
{
    return !start.arguments.isEmpty() && start.arguments.first() == QLatin1String("-i");
}

QByteArray minuteReport(const QString &path)
{
    return ("Input #0, avi, from '" + path +
            "':\n  Duration: 00:01:00, start: 0.000000\n"
            "    Stream #0.0: Video: mpeg4, yuv420p, 320x240, 25.00 fps\n")
        .toUtf8();
}

// Probes that tell a minute of video, conversions that report once and then keep running.
FakeRun fakeEncoder(const FakeStart &start)
{
    FakeRun run;
    if (isProbe(start) && start.arguments.size() == 2) {
        run.reads = {minuteReport(start.arguments.last())};
        return run;
    }
    if (isProbe(start)) {
        // Several inputs in one run: each report framed with its number and length.
        for (qsizetype i = 1; i < start.arguments.size(); i += 2) {
            const QByteArray report = minuteReport(start.arguments[i]);
            run.reads << "Probe " + QByteArray::number(i / 2) + " " + QByteArray::number(report.size()) + "\n" + report;
        }
        return run;
    }
    run.reads = {"banner\n", "banner\n", "time=30.0 \n"};
    run.hangsAfterReads = true;
    return run;
}

cli::ConvertSetup setupFor(const QStringList &inputs)
{
    cli::ConvertSetup setup;
    setup.encoderPath = "/fake/wmaspi.dll";
    setup.outputExtension = ".3gp";
    setup.profile.profile.type = "3gp";
    setup.outputDirectory = "/fake/out";
    setup.inputs = inputs;
    return setup;
}

// The lines a terminal shows after the output so far, with the redrawing carried out.
QStringList screen(const QByteArray &output)
{
    QStringList lines{QString()};
    const QString text = QString::fromUtf8(output);
    static const QRegularExpression up("^\x1b\\[(\\d+)A\r\x1b\\[J");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto match = up.match(text.mid(i));
        if (match.hasMatch()) {
            lines.resize(lines.size() - match.captured(1).toInt());
            lines.last().clear();
            i += match.capturedLength() - 1;
        } else if (text.at(i) == '\n') {
            lines << QString();
        } else {
            lines.last() += text.at(i);
        }
    }
    lines.removeLast();
    return lines;
}

} // namespace

class ConvertPartsTest : public QObject {
    Q_OBJECT

private slots:
    void settings_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<bool>("customSize");
        QTest::addColumn<QString>("parameters");
        QTest::newRow("as loaded") << Settings{} << true << " -b 128k -p yuv420p -f hflip";
        QTest::newRow("caption in any case")
            << Settings{{"video SIZE", "352X288 (cif)"}} << true << " -v 352x288 -b 128k -p yuv420p -f hflip";
        QTest::newRow("a read-only pick list is still chosen from")
            << Settings{{"Bit Rate", "64 kbps"}} << true << " -b 64k -p yuv420p -f hflip";
        QTest::newRow("custom size") << Settings{{"Video Size", "0x10x0x20"}} << true
                                     << " -v 0x10x0x20 -b 128k -p yuv420p -f hflip";
        QTest::newRow("custom size needs the choice")
            << Settings{{"Video Size", "160x120"}} << false
            << "refused: \"160x120\" is no choice of the parameter \"Video "
               "Size\". Its choices are \"Original Size\", \"352x288 (CIF)\".";
        QTest::newRow("no zero size")
            << Settings{{"Video Size", "0x120"}} << true
            << "refused: \"0x120\" is no choice of the parameter \"Video Size\". Its choices "
               "are \"Original Size\", \"352x288 (CIF)\", or a custom size such as \"320x240\".";
        QTest::newRow("free value") << Settings{{"filter", "vflip"}} << true << " -b 128k -p yuv420p -f vflip";
        QTest::newRow("free value emptied") << Settings{{"Filter", ""}} << true << " -b 128k -p yuv420p";
        QTest::newRow("fixed") << Settings{{"Pixel", "yuv420p"}} << true
                               << "refused: The parameter \"Pixel\" is fixed to \"yuv420p\" and cannot be changed.";
        QTest::newRow("unknown") << Settings{{"Pixels", "1"}} << true
                                 << "refused: The profile has no parameter \"Pixels\". Its parameters are \"Video "
                                    "Size\", \"Bit Rate\", \"Pixel\", \"Filter\".";
    }
    void settings()
    {
        QFETCH(Settings, settings);
        QFETCH(bool, customSize);
        QFETCH(QString, parameters);
        QCOMPARE(parametersAfter(settings, customSize), parameters);
    }

    // -r walks every real folder before any link, so that a folder reached both ways is named as
    // it is; a link out of the tree is walked under its own name, one back up never. A file
    // whose name is no UTF-8 is left out with a sentence.
    void folderWalk()
    {
        QTemporaryDir media;
        const QDir root(media.path());
        QVERIFY(root.mkpath("tree/real/deep") && root.mkpath("outside"));
        for (const char *name : {"tree/top.avi", "tree/real/deep/d.avi", "outside/o.avi"})
            QVERIFY(QFile(root.filePath(name)).open(QIODevice::WriteOnly));
        QVERIFY(testclips::copyUnderRawName(root.filePath("tree/top.avi"), root.filePath("tree"), "\xe9t\xe9.avi"));
        QVERIFY(QFile::link(root.filePath("tree/real/deep"), root.filePath("tree/a link")));
        QVERIFY(QFile::link(root.filePath("outside"), root.filePath("tree/real/b link")));
        QVERIFY(QFile::link(root.filePath("tree"), root.filePath("tree/real/deep/up")));
        const cli::InputFiles inputs = cli::collectInputFiles({root.filePath("tree")}, true);
        QCOMPARE(inputs.files, (QStringList{root.filePath("tree/top.avi"), root.filePath("tree/real/deep/d.avi"),
                                            root.filePath("tree/real/b link/o.avi")}));
        QCOMPARE(inputs.subfolders.value(inputs.files.at(1)), "real/deep");
        QCOMPARE(inputs.subfolders.value(inputs.files.at(2)), "real/b link");
        QCOMPARE(inputs.leftOut, QStringList{"\"" + root.filePath("tree") +
                                             "/\\xe9t\\xe9.avi\" is left out: its "
                                             "name is not UTF-8, so it cannot be opened."});
        QVERIFY(testclips::removeTree(media.path()));
    }

    // What the options say once read; their mistakes are told by the program's own tests.
    void options()
    {
        const auto parsed = [](const QStringList &arguments) {
            return cli::parseConvertCommandLine(QStringList{"velkor"} + arguments);
        };
        auto request = parsed({"--convert", "-j", "0", "--set", " Video Size = 160x120 ", "--set", "Filter=a=b", "--",
                               "-a.avi", "--json"})
                           .request;
        QVERIFY(request.has_value());
        QCOMPARE(request->action, cli::HeadlessAction::Convert);
        QCOMPARE(request->jobs.value_or(-1), qMax(QThread::idealThreadCount(), 1));
        QCOMPARE(request->settings, (Settings{{"Video Size", "160x120"}, {"Filter", "a=b"}}));
        QCOMPARE(request->inputs, (QStringList{"-a.avi", "--json"}));
        QVERIFY(!request->json && !request->renameExisting && !request->profile && !request->start);
        request = parsed({"--convert", "--json", "--overwrite", "-pSmall", "--start", "00:00:01", "a.avi"}).request;
        QVERIFY(request.has_value());
        QVERIFY(!request->jobs);
        QVERIFY(request->json);
        QCOMPARE(request->renameExisting, false);
        QCOMPARE(request->profile, "Small");
        QCOMPARE(request->start, "00:00:01");
        QCOMPARE(parsed({"--list-profiles", "--convert"}).request->action, cli::HeadlessAction::ListProfiles);
        QCOMPARE(parsed({"--version"}).request->action, cli::HeadlessAction::Version);
        QVERIFY(cli::isHeadlessCommand({"velkor", "--convert"}));
        QVERIFY(!cli::isHeadlessCommand({"velkor", "clip.avi", "--convert"}));
        QVERIFY(!cli::isHeadlessCommand({"velkor"}));
    }

    void widths()
    {
        QCOMPARE(cli::displayWidth("abc"), 3);
        QCOMPARE(cli::displayWidth(QString::fromUtf8("e\xcc\x81t\xc3\xa9")), 3); // a combining accent takes no column
        QCOMPARE(cli::displayWidth(QString::fromUtf8("\xe6\x98\xa0\xe7\x94\xbb")), 4);
        QCOMPARE(cli::displayWidth(QString::fromUtf8("\xf0\x9f\x8e\xac")), 2); // beyond the 16-bit plane
        QCOMPARE(cli::fitToWidth("abcdef", 6), "abcdef");
        QCOMPARE(cli::fitToWidth("abcdef", 4), QString::fromUtf8("abc\xe2\x80\xa6"));
        // A wide character that does not fit whole is left out whole.
        QCOMPARE(cli::fitToWidth(QString::fromUtf8("ab\xe6\x98\xa0\xe7\x94\xbb"), 4),
                 QString::fromUtf8("ab\xe2\x80\xa6"));
        QCOMPARE(cli::fitToWidth(QString::fromUtf8("\xf0\x9f\x8e\xac\xf0\x9f\x8e\xac"), 3),
                 QString::fromUtf8("\xf0\x9f\x8e\xac\xe2\x80\xa6"));
    }

    // Two running lines, redrawn in place, each cut to the terminal's width less one column; an
    // ended task leaves its line above them, and its log goes to the error output; a pause stops
    // the clock. A skipped file's line comes before them all, its name in the column of the
    // others, and the summary counts it.
    void terminalScreen()
    {
        platform::FakeTerminal terminal;
        terminal.width = 34;
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        qint64 now = 0;
        cli::TerminalReporter reporter(terminal, out, err, [&now] { return now; });
        reporter.taskSkipped("/in/done.avi", "/out/done.3gp", cli::SkipReason::OutputThere);
        const QString skipped = "Skipped               done.avi";
        QCOMPARE(screen(out.data()), QStringList{skipped});
        reporter.runStarted(3);
        reporter.taskStarted(0, "/in/first.avi", "/out/first.3gp");
        reporter.taskStarted(1, "/in/second clip with a long name.avi", "/out/second.3gp");
        now = 10000;
        reporter.taskProgressed(1, 25);
        QCOMPARE(screen(out.data()),
                 (QStringList{skipped, "  0%  00:00:10 elapsed  00:00:00…", " 25%  00:00:10 elapsed  00:00:30…"}));
        terminal.width = 80;
        reporter.taskEnded(0, conversion::TaskStatus::Failed, "the encoder's account\n", {});
        reporter.taskStarted(2, "/in/third\x1b[2J.avi", "/out/third.3gp");
        // Time held by the suspend key counts for nothing.
        reporter.runPaused();
        now = 15000;
        reporter.runResumed();
        now = 25000;
        reporter.redraw();
        QCOMPARE(screen(out.data()),
                 (QStringList{skipped, "Failed      00:00:10  first.avi",
                              " 25%  00:00:20 elapsed  00:01:00 left  second clip with a long name.avi",
                              "  0%  00:00:10 elapsed  00:00:00 left  third\uFFFD[2J.avi"}));
        QCOMPARE(err.data(), "Failed: /in/first.avi\nthe encoder's account\n");
        conversion::RunSummary summary;
        summary.end = conversion::RunEnd::Cancelled;
        summary.tasks = 3;
        summary.failed = 1;
        reporter.taskEnded(1, conversion::TaskStatus::Stopped, {}, {});
        reporter.taskEnded(2, conversion::TaskStatus::Stopped, {}, {});
        reporter.runEnded(summary, 130);
        QCOMPARE(screen(out.data()), (QStringList{skipped, "Failed      00:00:10  first.avi",
                                                  "Stop        00:00:20  second clip with a long name.avi",
                                                  "Stop        00:00:10  third\uFFFD[2J.avi",
                                                  "Stopped: 0 of 3 files complete, 1 failed, 0 incomplete, 1 skipped, "
                                                  "in 00:00:20."}));
    }

    // An interrupt while the inputs are probed ends the run at once, the probe held by a stalled
    // input killed, before any conversion; one while converting stops the encoders first. Either
    // way the status is 128 + the signal.
    void interrupts_data()
    {
        QTest::addColumn<bool>("whileConverting");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("probing") << false << QStringList{"error Stopped before any file was converted."};
        QTest::newRow("converting") << true
                                    << QStringList{"run 2", "start 0 /in/a.avi /fake/out/a.3gp", "progress 0 50",
                                                   "Stop 0", "end 130"};
    }
    void interrupts()
    {
        QFETCH(bool, whileConverting);
        QFETCH(QStringList, events);
        platform::FakeProcessLauncher launcher;
        launcher.responder = [whileConverting](const FakeStart &start) {
            if (whileConverting || !isProbe(start))
                return fakeEncoder(start);
            FakeRun held;
            held.hangsAfterReads = true;
            return held;
        };
        platform::FakeInterruption interruption;
        Record record;
        cli::ConvertRun run(launcher, interruption, record, setupFor({"/in/a.avi", "/in/b.avi"}));
        std::optional<int> status;
        connect(&run, &cli::ConvertRun::finished, this, [&status](int exitStatus) { status = exitStatus; });
        run.start();
        if (whileConverting)
            QTRY_VERIFY(record.events.contains("progress 0 50"));
        else
            QTRY_COMPARE(launcher.starts.size(), 1);
        interruption.interrupt(2);
        if (!whileConverting)
            QCOMPARE(launcher.terminations, 1);
        QTRY_VERIFY(status.has_value());
        QCOMPARE(*status, 130);
        QCOMPARE(record.events, events);
        const auto conversions = std::count_if(launcher.starts.cbegin(), launcher.starts.cend(),
                                               [](const FakeStart &start) { return !isProbe(start); });
        QCOMPARE(conversions, whileConverting ? 1 : 0);
        // A second interrupt after the end changes nothing.
        interruption.interrupt(15);
        QCoreApplication::processEvents();
        QCOMPARE(record.events, events);
    }
};

std::unique_ptr<QObject> makeConvertPartsTest()
{
    return std::make_unique<ConvertPartsTest>();
}

#include "tst_convertparts.moc"
