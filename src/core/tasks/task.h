#pragma once

#include "core/tasks/taskrecord.h"

#include <QJsonValue>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace tasks {

// Everything one task carries. Its row of the list holds it whole, so that a move, a copy or a
// removal of the row takes all of it, and the journal keeps all of it.
class Task {
public:
    Task() = default;
    explicit Task(ltvItemData texts) : record(std::move(texts)) {}

    ltvItemData record; // the seconds are derived from the texts
    // What the encoder said in the task's own last run, kept when that run failed or was left
    // incomplete.
    QString log;
    // The file the task's run is writing, while it converts.
    QString output;
    // The input's streams as its probe listed them (protocol::tracksOfReport reads them back).
    QString tracks;
    // The user's own pick for this task over the profile's rule: empty for the rule, "all", "none"
    // (subtitles only) or a stream's index.
    QString audioChoice;
    QString subtitleChoice;
    // What the input's probe found, for the encoder (conversion::ProbeResults::ProbeFactsText). Not
    // journaled: the encoder checks it against the file, and without it simply looks again.
    QString sourceFacts;

    // Converted by a run that the end of the program cut off: the next run leaves it out. The mark
    // holds only while the texts that decide the output stay as they were when it was set.
    bool convertedEarlier() const;
    void setConvertedEarlier(bool converted);

    bool operator==(const Task &) const = default;

private:
    QString outputTexts() const;

    std::optional<QString> m_convertedTexts;
};

// One thing a task carries, as a journal names and keeps it. A new field of Task is listed in
// taskFields() and travels with the task from then on.
struct TaskField {
    QString key;
    // Written always and needed on reading; the others are left out while a new task's value.
    bool required = true;
    std::function<QJsonValue(const Task &)> value;
    // False, changing nothing, for a value of another kind.
    std::function<bool(Task &, const QJsonValue &)> setValue;
};

// In the order they are set on reading.
const QList<TaskField> &taskFields();

} // namespace tasks
