#include "gui/desktop/fakes/fakedesktop.h"

namespace desktop {

platform::MessageButton FakeDialogs::messageBox(QWidget *, const QString &caption, const QString &text,
                                                platform::MessageIcon icon, platform::MessageButtons buttons)
{
    const ShownMessage message{caption, text, icon, buttons};
    messages.append(message);
    if (onMessage)
        onMessage(message);
    if (!answers.empty()) {
        const platform::MessageButton answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons.testFlag(platform::MessageButton::Yes) ? platform::MessageButton::Yes : platform::MessageButton::Ok;
}

QStringList FakeDialogs::openFiles(QWidget *, const QString &filter)
{
    lastOpenFilter = filter;
    return std::exchange(filesToOpen, {});
}

QString FakeDialogs::saveFileIn(QWidget *owner, const QString &filter, const QString &defaultSuffix,
                                const QString &directory)
{
    lastSaveDirectory = directory;
    return saveFile(owner, filter, defaultSuffix);
}

QString FakeDialogs::saveFile(QWidget *, const QString &filter, const QString &defaultSuffix)
{
    lastSaveFilter = filter;
    lastSaveSuffix = defaultSuffix;
    return std::exchange(fileToSave, {});
}

bool FakeDialogs::selectDirectory(QWidget *, const QString &title, const QString &, QString &folder)
{
    folderTitles.append(title);
    if (folderToChoose.isEmpty())
        return false;
    folder = std::exchange(folderToChoose, {});
    return true;
}

} // namespace desktop
