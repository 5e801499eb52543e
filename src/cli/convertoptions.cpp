#include "cli/convertoptions.h"

#include "core/preferences/languagecodes.h"
#include "core/tasks/timetext.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QThread>

namespace cli {
namespace {

const QString ConvertFlag = QStringLiteral("convert");
const QString ListProfilesFlag = QStringLiteral("list-profiles");
const QString HelpFlag = QStringLiteral("help");
const QString VersionFlag = QStringLiteral("version");

struct Options {
    QCommandLineOption convert{ConvertFlag, QStringLiteral("Convert the files and folders given, without a window.")};
    QCommandLineOption profile{{QStringLiteral("p"), QStringLiteral("profile")},
                               QStringLiteral("The profile, by its name in any letter case (default: the one "
                                              "chosen in the window)."),
                               QStringLiteral("NAME")};
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("The folder the converted files go to (default: the window's output "
                                             "path)."),
                              QStringLiteral("DIR")};
    QCommandLineOption recursive{{QStringLiteral("r"), QStringLiteral("recursive")},
                                 QStringLiteral("Convert the videos of a folder at any depth, each into the same "
                                                "folders below the output folder.")};
    QCommandLineOption jobs{{QStringLiteral("j"), QStringLiteral("jobs")},
                            QStringLiteral("How many files convert at once; 0 means one per processor core "
                                           "(default: the window's simultaneous conversions)."),
                            QStringLiteral("N")};
    QCommandLineOption priority{QStringLiteral("priority"),
                                QStringLiteral("How much of the processor the conversions take: normal, low or "
                                               "idle (default: the window's conversion priority)."),
                                QStringLiteral("normal|low|idle")};
    QCommandLineOption rename{QStringLiteral("rename"),
                              QStringLiteral("Give an output whose name is taken a numbered name of its own.")};
    QCommandLineOption overwrite{QStringLiteral("overwrite"),
                                 QStringLiteral("Overwrite an output whose name is taken.")};
    QCommandLineOption skipExisting{QStringLiteral("skip-existing"),
                                    QStringLiteral("Leave out a file whose output is there already, so that a run "
                                                   "cut off can simply be run again.")};
    QCommandLineOption onLowSpace{QStringLiteral("on-low-space"),
                                  QStringLiteral("What a run does when its output's disk fills up: pause until "
                                                 "there is room again, or fail the files left (default: pause)."),
                                  QStringLiteral("pause|fail")};
    QCommandLineOption set{QStringLiteral("set"),
                           QStringLiteral("Set a parameter of the profile, e.g. \"Video Size=352x288 (CIF)\"; "
                                          "may be repeated."),
                           QStringLiteral("Caption=Choice")};
    QCommandLineOption start{QStringLiteral("start"),
                             QStringLiteral("Convert every file from this time on, e.g. 00:00:10."),
                             QStringLiteral("TIME")};
    QCommandLineOption end{QStringLiteral("end"),
                           QStringLiteral("Convert every file up to this time, e.g. 00:01:30.5."),
                           QStringLiteral("TIME")};
    QCommandLineOption audioLanguages{QStringLiteral("audio-lang"),
                                      QStringLiteral("The audio languages kept first, in order, e.g. eng,ger "
                                                     "(default: the settings' Audio languages)."),
                                      QStringLiteral("LANGS")};
    QCommandLineOption subtitleLanguages{QStringLiteral("subtitle-lang"),
                                         QStringLiteral("The subtitle languages kept first, in order, e.g. eng "
                                                        "(default: the settings' Subtitle languages)."),
                                         QStringLiteral("LANGS")};
    QCommandLineOption audio{QStringLiteral("audio"),
                             QStringLiteral("Which audio tracks to keep: first (the preferred language's), "
                                            "langs (every preferred language's) or all."),
                             QStringLiteral("first|langs|all")};
    QCommandLineOption subtitles{QStringLiteral("subtitles"),
                                 QStringLiteral("Which subtitle tracks to keep: none, forced, lang (the "
                                                "preferred language's) or all."),
                                 QStringLiteral("none|forced|lang|all")};
    QCommandLineOption burnSubtitles{QStringLiteral("burn-subtitles"),
                                     QStringLiteral("Which subtitles to draw into the picture: no, forced or yes."),
                                     QStringLiteral("no|forced|yes")};
    QCommandLineOption listProfiles{ListProfilesFlag, QStringLiteral("List the profiles, one name a line.")};
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("Report each event as one JSON object a line, for other programs.")};
};

std::optional<QString> timeProblem(const QString &option, const std::optional<QString> &text)
{
    if (!text || tasks::TimeTextToSeconds(*text) != -1)
        return std::nullopt;
    return QStringLiteral("The %1 time \"%2\" is no time such as 00:01:30.5 (hours:minutes:seconds).")
        .arg(option, *text);
}

// A track option's word as the profile row's choice, the row's name first.
struct TrackRule {
    const QCommandLineOption &option;
    QString caption;
    QList<std::pair<QString, QString>> choices; // word, choice
};

std::optional<QString> readTrackOptions(const QCommandLineParser &parser, const Options &options,
                                        ConvertRequest &request)
{
    const std::pair<const QCommandLineOption &, std::optional<QString> *> languages[] = {
        {options.audioLanguages, &request.audioLanguages}, {options.subtitleLanguages, &request.subtitleLanguages}};
    for (const auto &[option, value] : languages) {
        if (!parser.isSet(option))
            continue;
        const QString text = parser.value(option);
        const auto codes = preferences::languageCodes(text);
        if (!codes)
            return QStringLiteral("The languages \"%1\" of --%2 are no three-letter codes separated by commas, "
                                  "such as eng,ger.")
                .arg(text, option.names().constFirst());
        *value = *codes;
    }
    const TrackRule rules[] = {
        {options.audio,
         QStringLiteral("Audio Tracks"),
         {{"first", "Preferred language"}, {"langs", "All preferred languages"}, {"all", "All"}}},
        {options.subtitles,
         QStringLiteral("Subtitles"),
         {{"none", "None"}, {"forced", "Forced only"}, {"lang", "Preferred language"}, {"all", "All"}}},
        {options.burnSubtitles, QStringLiteral("Burn In"), {{"no", "No"}, {"forced", "Forced only"}, {"yes", "Yes"}}},
    };
    for (const TrackRule &rule : rules) {
        if (!parser.isSet(rule.option))
            continue;
        const QString word = parser.value(rule.option);
        QStringList words;
        for (const auto &[known, choice] : rule.choices) {
            if (word == known) {
                request.settings.append({rule.caption, choice});
                break;
            }
            words << known;
        }
        if (words.size() == rule.choices.size())
            return QStringLiteral("--%1 takes %2, not \"%3\".")
                .arg(rule.option.names().constFirst(), words.join(QStringLiteral(", ")), word);
    }
    return std::nullopt;
}

// Everything but the one action asked for.
std::optional<QString> readConvertOptions(const QCommandLineParser &parser, const Options &options,
                                          ConvertRequest &request)
{
    if (parser.isSet(options.profile))
        request.profile = parser.value(options.profile);
    if (parser.isSet(options.output))
        request.outputDirectory = parser.value(options.output);
    if (parser.isSet(options.jobs)) {
        bool number = false;
        const QString text = parser.value(options.jobs);
        const int jobs = text.toInt(&number);
        if (!number || jobs < 0)
            return QStringLiteral("The number of jobs \"%1\" is no whole number of 0 or more.").arg(text);
        request.jobs = jobs == 0 ? qMax(QThread::idealThreadCount(), 1) : jobs;
    }
    if (parser.isSet(options.priority)) {
        const QString text = parser.value(options.priority);
        const QStringList names{QStringLiteral("normal"), QStringLiteral("low"), QStringLiteral("idle")};
        const qsizetype index = names.indexOf(text.toLower());
        if (index < 0)
            return QStringLiteral("The priority \"%1\" is none of normal, low and idle.").arg(text);
        request.priority = platform::ProcessPriority(index);
    }
    if (parser.isSet(options.rename) && parser.isSet(options.overwrite))
        return QStringLiteral("Choose either --rename or --overwrite, not both.");
    if (parser.isSet(options.rename) || parser.isSet(options.overwrite))
        request.renameExisting = parser.isSet(options.rename);
    request.recursive = parser.isSet(options.recursive);
    request.skipExisting = parser.isSet(options.skipExisting);
    if (parser.isSet(options.onLowSpace)) {
        const QString text = parser.value(options.onLowSpace).toLower();
        if (text != QLatin1String("pause") && text != QLatin1String("fail"))
            return QStringLiteral("The low space action \"%1\" is neither pause nor fail.")
                .arg(parser.value(options.onLowSpace));
        request.failOnLowSpace = text == QLatin1String("fail");
    }
    for (const QString &setting : parser.values(options.set)) {
        const qsizetype equals = setting.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return QStringLiteral("The setting \"%1\" is not of the form Caption=Choice.").arg(setting);
        request.settings.append({setting.left(equals).trimmed(), setting.mid(equals + 1).trimmed()});
    }
    if (const auto problem = readTrackOptions(parser, options, request))
        return problem;
    if (parser.isSet(options.start))
        request.start = parser.value(options.start);
    if (parser.isSet(options.end))
        request.end = parser.value(options.end);
    if (const auto problem = timeProblem(QStringLiteral("start"), request.start))
        return problem;
    if (const auto problem = timeProblem(QStringLiteral("end"), request.end))
        return problem;
    request.json = parser.isSet(options.json);
    request.inputs = parser.positionalArguments();
    if (request.inputs.isEmpty())
        return QStringLiteral("No file or folder to convert is given.");
    return std::nullopt;
}

} // namespace

bool isHeadlessCommand(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return false;
    const QString &first = arguments.at(1);
    for (const QString &flag : {ConvertFlag, ListProfilesFlag, HelpFlag, VersionFlag}) {
        if (first == QStringLiteral("--") + flag)
            return true;
    }
    return false;
}

ParsedCommandLine parseConvertCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    Options options;
    parser.setApplicationDescription(
        QStringLiteral("Converts video files with a profile, as the window's Start does, without a window.\n"
                       "Without --convert, --list-profiles, --help or --version first, the program opens its "
                       "window with the files given."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions(
        {options.convert,  options.profile,   options.output,        options.recursive,      options.jobs,
         options.priority, options.rename,    options.overwrite,     options.skipExisting,   options.onLowSpace,
         options.set,      options.start,     options.end,           options.audioLanguages, options.subtitleLanguages,
         options.audio,    options.subtitles, options.burnSubtitles, options.listProfiles,   options.json});
    parser.addPositionalArgument(QStringLiteral("FILE|FOLDER"),
                                 QStringLiteral("A video file, or a folder whose videos are all converted. Put "
                                                "\"--\" before names that begin with \"-\"."),
                                 QStringLiteral("FILE|FOLDER..."));

    ParsedCommandLine parsed;
    // The parser's usage line knows nothing of --convert, which has to come first.
    const QString program = QFileInfo(arguments.value(0)).fileName();
    const QString parserHelp = parser.helpText();
    parsed.helpText = QStringLiteral("Usage: %1 --convert [options] FILE|FOLDER...\n"
                                     "       %1 --list-profiles | --help | --version\n")
                          .arg(program) +
                      parserHelp.mid(parserHelp.indexOf(QLatin1Char('\n')) + 1);
    if (!parser.parse(arguments)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    ConvertRequest request;
    if (parser.isSet(help)) {
        request.action = HeadlessAction::Help;
    } else if (parser.isSet(version)) {
        request.action = HeadlessAction::Version;
    } else if (parser.isSet(options.listProfiles)) {
        request.action = HeadlessAction::ListProfiles;
    } else if (!parser.isSet(options.convert)) {
        parsed.error = QStringLiteral("Say --convert to convert without a window.");
        return parsed;
    } else if (const auto problem = readConvertOptions(parser, options, request)) {
        parsed.error = *problem;
        return parsed;
    }
    parsed.request = request;
    return parsed;
}

} // namespace cli
