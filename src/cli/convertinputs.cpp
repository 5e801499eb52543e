#include "cli/convertinputs.h"

#include "core/platform/pathdelimiter.h"
#include "core/tasks/inputfiles.h"
#include "core/tasks/tasktrim.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <deque>
#include <utility>

namespace cli {
namespace {

// Each file once, in the order the inputs and the folders' listings give them.
class FolderWalk {
public:
    FolderWalk(InputFiles &inputs, bool recursive, const QString &outputFolder)
        : m_inputs(inputs)
        , m_recursive(recursive)
        , m_outputFolder(QFileInfo(outputFolder).canonicalFilePath())
    {}

    // subfolder: the folder the file was found in, relative to the folder given; empty when it is
    // that folder or the file was given itself.
    void add(const QString &path, const QString &subfolder = {})
    {
        if (m_added.contains(path))
            return;
        m_added.insert(path);
        m_inputs.files << path;
        if (!subfolder.isEmpty())
            m_inputs.subfolders.insert(path, subfolder);
    }

    void addFolder(const QString &folder, const QString &subfolder = {})
    {
        if (m_recursive && !entersFirstTime(folder, subfolder.isEmpty()))
            return;
        const QString prefix = platform::IncludeTrailingBackslash(folder);
        for (const QString &name : tasks::ListSupportedFiles(folder)) {
            add(prefix + name, subfolder);
            if (tasks::NeedsStreamCheck(prefix + name))
                m_inputs.unconfirmed << prefix + name;
        }
        m_inputs.leftOut << tasks::UndecodableFileSentences(folder);
        if (!m_recursive)
            return;
        for (const QString &name : tasks::ListSubfolders(folder)) {
            const QString path = prefix + name;
            const QString below = platform::IncludeTrailingBackslash(subfolder) + name;
            // A link is walked after every real folder, so that a folder of the tree reached
            // through one keeps its own name, and is not walked twice.
            if (QFileInfo(path).isSymLink())
                m_links.push_back({path, below});
            else
                addFolder(path, below);
        }
    }

    void addLinkedFolders()
    {
        while (!m_links.empty()) {
            const auto [path, subfolder] = m_links.front();
            m_links.pop_front();
            addFolder(path, subfolder);
        }
    }

private:
    // A link back up the tree must not walk it forever, and a folder given within another one
    // keeps the place its first walk gave its files.
    bool entersFirstTime(const QString &folder, bool given)
    {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (m_entered.contains(canonical) || (!given && !canonical.isEmpty() && canonical == m_outputFolder))
            return false;
        m_entered.insert(canonical);
        return true;
    }

    InputFiles &m_inputs;
    const bool m_recursive;
    const QString m_outputFolder; // canonical, as the folders entered
    QSet<QString> m_entered;
    QSet<QString> m_added;
    std::deque<std::pair<QString, QString>> m_links; // each with the subfolder it stands for
};

} // namespace

InputFiles collectInputFiles(const QStringList &given, bool recursive, const QString &outputFolder)
{
    InputFiles inputs;
    FolderWalk walk(inputs, recursive, outputFolder);
    for (const QString &path : given) {
        const QFileInfo info(path);
        const QString absolute = QDir::cleanPath(info.absoluteFilePath());
        if (!info.exists())
            inputs.missing << path;
        else if (info.isDir())
            walk.addFolder(absolute);
        else
            walk.add(absolute);
    }
    walk.addLinkedFolders();
    return inputs;
}

std::optional<QString> taskFromProbe(const QString &path, const conversion::ProbeResults &probe,
                                     const QString &outputExtension, const std::optional<QString> &start,
                                     const std::optional<QString> &end, ltvItemData &task)
{
    task = conversion::newTaskRecord(path, probe, outputExtension);
    tasks::deriveSeconds(task, tasks::SelectWholeRow);
    if (!start && !end)
        return std::nullopt;
    const tasks::TrimTaken taken = tasks::applyStartAndEnd(task, start.value_or(QString()), end.value_or(QString()));
    if ((!start || taken.start) && (!end || taken.end))
        return tasks::tooShortToConvert(task);
    if (task.LengthText.isEmpty())
        return QStringLiteral("\"%1\" cannot be cut: its length is unknown.").arg(path);
    const QString which =
        start && !taken.start ? QStringLiteral("start time ") + *start : QStringLiteral("end time ") + *end;
    return QStringLiteral("The %1 leaves nothing of \"%2\" to convert: it runs from %3 to %4.")
        .arg(which, path, task.SourceStartText, task.SourceEndText);
}

} // namespace cli
