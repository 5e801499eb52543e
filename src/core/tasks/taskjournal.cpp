#include "core/tasks/taskjournal.h"

#include "core/platform/outputclaim.h"
#include "core/protocol/partialoutput.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace tasks {
namespace {

const QString FormatKey = QStringLiteral("format");
const QString FormatName = QStringLiteral("velkor task list");
const QString VersionKey = QStringLiteral("version");
const QString ProfileKey = QStringLiteral("profile");
const QString OutputFolderKey = QStringLiteral("outputFolder");
const QString TasksKey = QStringLiteral("tasks");
const QString InputKey = QStringLiteral("input");
const QString LogKey = QStringLiteral("log");
const QString OutputKey = QStringLiteral("output");
const QString ConvertedEarlierKey = QStringLiteral("convertedEarlier");

// The keys of sub-items 0 to 9.
const QString SubItemKeys[SubItemCount] = {
    QStringLiteral("length"),    QStringLiteral("size"),        QStringLiteral("status"),    QStringLiteral("newName"),
    QStringLiteral("outputExt"), QStringLiteral("sourceStart"), QStringLiteral("sourceEnd"), QStringLiteral("span"),
    QStringLiteral("start"),     QStringLiteral("end"),
};

// A list of many thousand rows stays far below this; anything larger is not ours.
constexpr qsizetype LargestJournal = 64 * 1024 * 1024;

const QString Damaged = QStringLiteral("it is cut off or damaged");

QJsonObject taskObject(const JournalTask &entry)
{
    QJsonObject object{{InputKey, entry.task.InputFile}};
    for (int sub = 0; sub < SubItemCount; ++sub)
        object.insert(SubItemKeys[sub], entry.task.*subItemField(sub));
    if (!entry.log.isEmpty())
        object.insert(LogKey, entry.log);
    if (!entry.output.isEmpty())
        object.insert(OutputKey, entry.output);
    if (entry.convertedEarlier)
        object.insert(ConvertedEarlierKey, true);
    return object;
}

bool readText(const QJsonObject &object, const QString &key, QString &text, bool optional = false)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return optional;
    if (!value.isString())
        return false;
    text = value.toString();
    return true;
}

// A key this version does not write means a file it cannot fully understand.
bool onlyKnownKeys(const QJsonObject &object, const QStringList &known)
{
    for (auto key = object.constBegin(); key != object.constEnd(); ++key) {
        if (!known.contains(key.key()))
            return false;
    }
    return true;
}

const QStringList &taskKeys()
{
    static const QStringList keys = [] {
        QStringList all{InputKey, LogKey, OutputKey, ConvertedEarlierKey};
        for (const QString &key : SubItemKeys)
            all << key;
        return all;
    }();
    return keys;
}

std::optional<JournalTask> readTask(const QJsonValue &value)
{
    if (!value.isObject() || !onlyKnownKeys(value.toObject(), taskKeys()))
        return std::nullopt;
    const QJsonObject object = value.toObject();
    JournalTask entry;
    if (!readText(object, InputKey, entry.task.InputFile) || entry.task.InputFile.isEmpty())
        return std::nullopt;
    for (int sub = 0; sub < SubItemCount; ++sub) {
        if (!readText(object, SubItemKeys[sub], entry.task.*subItemField(sub)))
            return std::nullopt;
    }
    if (!readText(object, LogKey, entry.log, true) || !readText(object, OutputKey, entry.output, true))
        return std::nullopt;
    const QJsonValue converted = object.value(ConvertedEarlierKey);
    if (!converted.isUndefined() && !converted.isBool())
        return std::nullopt;
    entry.convertedEarlier = converted.toBool();
    deriveSeconds(entry.task, SelectWholeRow);
    return entry;
}

std::optional<TaskJournal> refuse(QString *problem, const QString &reason)
{
    if (problem)
        *problem = reason;
    return std::nullopt;
}

} // namespace

QByteArray encodeTaskJournal(const TaskJournal &journal)
{
    QJsonArray rows;
    for (const JournalTask &entry : journal.tasks)
        rows.append(taskObject(entry));
    const QJsonObject root{{FormatKey, FormatName},
                           {VersionKey, TaskJournalVersion},
                           {ProfileKey, journal.profile},
                           {OutputFolderKey, journal.outputFolder},
                           {TasksKey, rows}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<TaskJournal> decodeTaskJournal(const QByteArray &bytes, QString *problem)
{
    if (bytes.size() > LargestJournal)
        return refuse(problem, QStringLiteral("it is not a task list"));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return refuse(problem, Damaged);
    const QJsonObject root = document.object();
    if (root.value(FormatKey) != FormatName)
        return refuse(problem, QStringLiteral("it is not a task list"));
    const QJsonValue version = root.value(VersionKey);
    if (!version.isDouble())
        return refuse(problem, Damaged);
    if (version.toDouble() > TaskJournalVersion)
        return refuse(problem, QStringLiteral("a newer version of the program wrote it"));
    if (version.toDouble() != TaskJournalVersion)
        return refuse(problem, Damaged);
    if (!onlyKnownKeys(root, {FormatKey, VersionKey, ProfileKey, OutputFolderKey, TasksKey}))
        return refuse(problem, Damaged);
    TaskJournal journal;
    if (!readText(root, ProfileKey, journal.profile) || !readText(root, OutputFolderKey, journal.outputFolder) ||
        !root.value(TasksKey).isArray())
        return refuse(problem, Damaged);
    for (const QJsonValue &row : root.value(TasksKey).toArray()) {
        std::optional<JournalTask> entry = readTask(row);
        if (!entry)
            return refuse(problem, Damaged);
        journal.tasks << *entry;
    }
    return journal;
}

int waitingTaskCount(const TaskJournal &journal)
{
    return int(std::count_if(journal.tasks.cbegin(), journal.tasks.cend(),
                             [](const JournalTask &entry) { return entry.task.Status != CompleteStatus; }));
}

void settleInterruptedTasks(TaskJournal &journal)
{
    for (JournalTask &entry : journal.tasks) {
        if (entry.task.Status.startsWith(ConvertingStatus)) {
            entry.task.Status = QStringLiteral("OK");
            entry.log.clear();
            if (!entry.output.isEmpty()) {
                // Another window may be converting to that name by now: its file is not ours.
                platform::removeUnlessClaimed(
                    QFile::encodeName(protocol::partialOutputPath(entry.output)).toStdString());
            }
        }
        entry.output.clear();
    }
}

} // namespace tasks
