#include "cli/headlessmain.h"

#include "cli/convertoptions.h"
#include "cli/convertrun.h"
#include "cli/jsonreporter.h"
#include "cli/plainreporter.h"
#include "cli/terminalreporter.h"
#include "core/platform/childprocess.h"
#include "core/platform/qtchildprocess.h"
#include "core/platform/signalinterruption.h"
#include "core/platform/standardterminal.h"
#include "core/preferences/programvalues.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace cli {
namespace {

constexpr int StandardOutput = 1;
constexpr int StandardError = 2;

std::unique_ptr<ConvertReporter> reporterFor(const ConvertRequest &request, const platform::Terminal &terminal,
                                             QIODevice &out, QIODevice &err)
{
    if (request.json)
        return std::make_unique<JsonReporter>(out, err);
    if (terminal.isTerminal())
        return std::make_unique<TerminalReporter>(terminal, out, err);
    return std::make_unique<PlainReporter>(out, err);
}

int convert(const preferences::ProgramValues &values, const ConvertRequest &request,
            platform::Interruption &interruption, QIODevice &out, QIODevice &err)
{
    const SetupOutcome outcome = prepareConversion(values, request);
    for (const QString &sentence : outcome.leftOut)
        writeLine(err, sentence);
    if (!outcome.setup) {
        writeLine(err, outcome.error);
        return ExitUsage;
    }
    platform::QtProcessLauncher launcher;
    const platform::StandardOutputTerminal terminal;
    const auto reporter = reporterFor(request, terminal, out, err);
    ConvertRun run(launcher, interruption, *reporter, *outcome.setup);
    QObject::connect(&run, &ConvertRun::finished, qApp, [](int status) { QCoreApplication::exit(status); });
    run.start();
    return QCoreApplication::exec();
}

} // namespace

bool wantsHeadless(int argc, char *argv[])
{
    QStringList arguments;
    for (int n = 0; n < qMin(argc, 2); ++n)
        arguments << QString::fromLocal8Bit(argv[n]);
    return isHeadlessCommand(arguments);
}

int runHeadless(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    // Caught from the start: one that comes while the inputs are gathered is heard as soon as
    // the run can hear it, and ends it as it would later.
    platform::SignalInterruption interruption;
    const preferences::ProgramValues values = preferences::programValuesFor(QCoreApplication::applicationDirPath());
    QCoreApplication::setApplicationName(preferences::ProgramName);
    QCoreApplication::setApplicationVersion(values.versionText);
    QFile out, err;
    out.open(StandardOutput, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(StandardError, QIODevice::WriteOnly | QIODevice::Unbuffered);

    const ParsedCommandLine parsed = parseConvertCommandLine(application.arguments());
    if (!parsed.request) {
        const QString program = QFileInfo(application.arguments().value(0)).fileName();
        writeLine(err, parsed.error);
        writeLine(err, QStringLiteral("Try \"%1 --help\".").arg(program));
        return ExitUsage;
    }
    switch (parsed.request->action) {
    case HeadlessAction::Help:
        out.write(parsed.helpText.toUtf8());
        return ExitAllComplete;
    case HeadlessAction::Version:
        writeLine(out, preferences::ProgramName + QLatin1Char(' ') + values.versionText);
        return ExitAllComplete;
    case HeadlessAction::ListProfiles:
        for (const QString &name : profileNames(values.locations))
            writeLine(out, name);
        return ExitAllComplete;
    case HeadlessAction::Convert:
        break;
    }
    const int status = convert(values, *parsed.request, interruption, out, err);
    // Killed encoders may take a while to be gone; none may outlive the program.
    platform::endProcessGroups();
    return status;
}

} // namespace cli
