#include "core/tasks/task.h"

namespace tasks {
namespace {

TaskField recordText(const QString &key, QString ltvItemData::*field)
{
    return {key, true, [field](const Task &task) { return QJsonValue(task.record.*field); },
            [field](Task &task, const QJsonValue &value) {
                if (!value.isString())
                    return false;
                task.record.*field = value.toString();
                return true;
            }};
}

TaskField optionalText(const QString &key, QString Task::*field)
{
    return {key, false, [field](const Task &task) { return QJsonValue(task.*field); },
            [field](Task &task, const QJsonValue &value) {
                if (!value.isString())
                    return false;
                task.*field = value.toString();
                return true;
            }};
}

} // namespace

// The texts that decide the output file; the run's settings decide the rest.
QString Task::outputTexts() const
{
    return QStringList{record.NewName, record.OutputExt, record.StartText, record.EndText}.join(QLatin1Char('\n'));
}

bool Task::convertedEarlier() const
{
    return m_convertedTexts && *m_convertedTexts == outputTexts();
}

void Task::setConvertedEarlier(bool converted)
{
    m_convertedTexts = converted ? std::optional<QString>(outputTexts()) : std::nullopt;
}

const QList<TaskField> &taskFields()
{
    static const QList<TaskField> fields{
        recordText(QStringLiteral("input"), &ltvItemData::InputFile),
        recordText(QStringLiteral("length"), &ltvItemData::LengthText),
        recordText(QStringLiteral("size"), &ltvItemData::SizeText),
        recordText(QStringLiteral("status"), &ltvItemData::Status),
        recordText(QStringLiteral("newName"), &ltvItemData::NewName),
        recordText(QStringLiteral("outputExt"), &ltvItemData::OutputExt),
        recordText(QStringLiteral("sourceStart"), &ltvItemData::SourceStartText),
        recordText(QStringLiteral("sourceEnd"), &ltvItemData::SourceEndText),
        recordText(QStringLiteral("span"), &ltvItemData::SpanText),
        recordText(QStringLiteral("start"), &ltvItemData::StartText),
        recordText(QStringLiteral("end"), &ltvItemData::EndText),
        optionalText(QStringLiteral("log"), &Task::log),
        optionalText(QStringLiteral("output"), &Task::output),
        optionalText(QStringLiteral("tracks"), &Task::tracks),
        optionalText(QStringLiteral("audioChoice"), &Task::audioChoice),
        optionalText(QStringLiteral("subtitleChoice"), &Task::subtitleChoice),
        // After the texts: the mark is taken from them.
        {QStringLiteral("convertedEarlier"), false,
         [](const Task &task) { return QJsonValue(task.convertedEarlier()); },
         [](Task &task, const QJsonValue &value) {
             if (!value.isBool())
                 return false;
             task.setConvertedEarlier(value.toBool());
             return true;
         }},
    };
    return fields;
}

} // namespace tasks
