#include "core/runsetup/runplan.h"

#include "core/conversion/encodercommand.h"

#include <QThread>

#include <algorithm>

namespace runsetup {

conversion::BatchPlan planFor(const QString &encoderPath, const tasks::TaskStore &tasks, const ProfileChoice &choice,
                              const QString &outputFolder, const RunOptions &options, const TrackLanguages &languages)
{
    conversion::BatchPlan plan;
    plan.encoderPath = encoderPath;
    plan.parameters = profiles::BuildParameterString(choice.profile, choice.shownValue) +
                      conversion::trackLanguageOptions(languages.audio, languages.subtitle);
    plan.outputDirectory = outputFolder;
    plan.profileExtension = choice.profile.outputExtension();
    plan.renameExisting = options.renameExisting;
    plan.jobs = options.jobs;
    plan.priority = options.priority;
    for (int row = 0; row < tasks.taskCount(); ++row) {
        ltvItemData task = tasks.task(row);
        if (choice.earlierExtensions.contains(task.OutputExt))
            task.OutputExt = plan.profileExtension;
        plan.tasks << task;
        plan.taskOptions << conversion::taskOptions(tasks.wholeTask(row));
        if (tasks.convertedEarlier(row))
            plan.convertedEarlier << row;
    }
    return plan;
}

int usableJobs(int storedJobs)
{
    return std::clamp(storedJobs, 1, std::max(QThread::idealThreadCount(), 1));
}

void recordTaskStart(tasks::TaskStore &tasks, int row)
{
    tasks.setLog(row, QString());
}

void recordTaskEnd(tasks::TaskStore &tasks, int row, conversion::TaskStatus status, const QString &log)
{
    tasks.setLog(row, conversion::explainsStatus(status) ? log : QString());
    tasks.setStatus(row, conversion::statusText(status));
}

} // namespace runsetup
