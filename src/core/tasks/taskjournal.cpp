#include "core/tasks/taskjournal.h"

#include "core/platform/outputclaim.h"
#include "core/protocol/qtpartialoutput.h"

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
// A list of many thousand rows stays far below this; anything larger is not ours.
constexpr qsizetype LargestJournal = 64 * 1024 * 1024;

const QString Damaged = QStringLiteral("it is cut off or damaged");

QJsonObject taskObject(const Task &task)
{
    static const Task fresh;
    QJsonObject object;
    for (const TaskField &field : taskFields()) {
        const QJsonValue value = field.value(task);
        if (field.required || value != field.value(fresh))
            object.insert(field.key, value);
    }
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
        QStringList all;
        for (const TaskField &field : taskFields())
            all << field.key;
        return all;
    }();
    return keys;
}

std::optional<Task> readTask(const QJsonValue &value)
{
    if (!value.isObject() || !onlyKnownKeys(value.toObject(), taskKeys()))
        return std::nullopt;
    const QJsonObject object = value.toObject();
    Task task;
    for (const TaskField &field : taskFields()) {
        const QJsonValue read = object.value(field.key);
        if (read.isUndefined() ? field.required : !field.setValue(task, read))
            return std::nullopt;
    }
    if (task.record.InputFile.isEmpty())
        return std::nullopt;
    deriveSeconds(task.record, SelectWholeRow);
    return task;
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
    for (const Task &task : journal.tasks)
        rows.append(taskObject(task));
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
        std::optional<Task> task = readTask(row);
        if (!task)
            return refuse(problem, Damaged);
        journal.tasks << *task;
    }
    return journal;
}

int waitingTaskCount(const TaskJournal &journal)
{
    return int(std::count_if(journal.tasks.cbegin(), journal.tasks.cend(),
                             [](const Task &task) { return task.record.Status != CompleteStatus; }));
}

void settleInterruptedTasks(TaskJournal &journal)
{
    for (Task &task : journal.tasks) {
        if (task.record.Status.startsWith(ConvertingStatus) || task.record.Status == PausedStatus) {
            task.record.Status = QStringLiteral("OK");
            task.log.clear();
            if (!task.output.isEmpty()) {
                // Another window may be converting to that name by now: its file is not ours.
                platform::removeUnlessClaimed(
                    QFile::encodeName(protocol::partialOutputPath(task.output)).toStdString());
            }
        }
        task.output.clear();
    }
}

} // namespace tasks
