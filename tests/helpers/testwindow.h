#pragma once

#include <errordisplay.h>
#include <fakechildprocess.h>
#include <fakedesktop.h>
#include <fakenotifications.h>
#include <mainform.h>
#include <qtchildprocess.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

namespace testwindow {

// A main window with a program directory of its own, the real encoder in it and fakes for every
// desktop service. Errors that leave a handler land in dialogs.messages.
struct Window {
    QTemporaryDir programDir;
    platform::QtProcessLauncher processes;
    platform::FakeDialogs dialogs;
    platform::FakeDesktop desktop;
    platform::FakePowerControl power;
    platform::FakeNotifications notifications;
    platform::Services services{processes, dialogs, desktop, power, notifications};
    std::unique_ptr<TMainForm> form;

    // profiles: file name and contents of each profile to put into Profiles/.
    explicit Window(const QList<std::pair<QString, QByteArray>> &profiles = {})
    {
        QDir(programDir.path()).mkdir(QStringLiteral("Profiles"));
        for (const auto &[name, contents] : profiles) {
            QFile file(programDir.filePath(QStringLiteral("Profiles/") + name));
            file.open(QIODevice::WriteOnly);
            file.write(contents);
        }
        QFile::link(QStringLiteral(VELKOR_BIN_DIR "/wmaspi.dll"), programDir.filePath(QStringLiteral("wmaspi.dll")));
        app::setErrorDialogs(&dialogs);
        form = std::make_unique<TMainForm>(services, programDir.path());
    }
    ~Window() { app::setErrorDialogs(nullptr); }

    void add(const QStringList &inputs)
    {
        for (const QString &input : inputs)
            form->AddInputFile(input);
        form->EnableListButtonsIfTasks();
    }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto &message : dialogs.messages)
            texts << message.text;
        return texts;
    }
    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (int row = 0; row < form->ltvTask->topLevelItemCount(); ++row) {
            if (form->ltvTask->topLevelItem(row)->isSelected())
                rows << row;
        }
        return rows;
    }
};

} // namespace testwindow
