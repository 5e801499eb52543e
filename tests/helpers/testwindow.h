#pragma once

#include "core/conversion/batchrun.h"
#include "core/platform/fakes/fakechildprocess.h"
#include "core/platform/fakes/fakefreespace.h"
#include "core/platform/fakes/fakenotifications.h"
#include "core/platform/qtchildprocess.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/tasklist.h"
#include "gui/widgets/errordisplay.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <deque>
#include <memory>

namespace testwindow {

// A small 3GP profile of two pick lists, one in each of the first two grids.
inline const char *PhoneProfile =
    "[Main]\r\nType=3gp\r\nPara=2\r\n0=Video Codec\r\n1=Audio Codec\r\n"
    "[Video Codec]\r\nSort=1\r\ncmd=-c:v\r\nList=1\r\nCaption=H.263 176x144,\r\nValue=h263 -s 176x144,\r\nIndex=0\r\n"
    "[Audio Codec]\r\nSort=2\r\ncmd=-c:a\r\nList=1\r\nCaption=AAC mono,\r\nValue=aac -ac 1 -ar 8000,\r\nIndex=0\r\n";

// Presses Start as a user does and waits until the run it began has ended: false when Start
// began no run, or the run did not end in time.
inline bool startAndWaitForRun(mainform::TMainForm &form, int timeoutMs = 120000)
{
    bool ended = false;
    const auto connection = QObject::connect(&form.runControl().batchRun(), &conversion::BatchRun::runEnded,
                                             [&ended](const conversion::RunSummary &) { ended = true; });
    QTest::mouseClick(form.tbtnStart, Qt::LeftButton);
    const bool began = !form.runIsIdle() || ended;
    const bool finished = began && QTest::qWaitFor([&ended] { return ended; }, timeoutMs);
    QObject::disconnect(connection);
    return finished;
}

// Fakes for every desktop service and for starting processes.
struct FakeServices {
    platform::FakeProcessLauncher processes;
    desktop::FakeDialogs dialogs;
    desktop::FakeDesktop desktop;
    desktop::FakePowerControl power;
    platform::FakeNotifications notifications;
    platform::Services services{processes, dialogs, desktop, power, notifications};
};

enum class Encoder { Real, Fake };

// A main window with a program directory of its own, the real encoder in it (or a fake launcher
// in its place) and fakes for every desktop service. Errors that leave a handler land in
// dialogs.messages.
struct Window {
    QTemporaryDir programDir;
    platform::QtProcessLauncher realProcesses;
    platform::FakeProcessLauncher fakeProcesses;
    desktop::FakeDialogs dialogs;
    desktop::FakeDesktop desktop;
    desktop::FakePowerControl power;
    platform::FakeNotifications notifications;
    platform::FakeFreeSpace freeSpace;
    platform::Services services;
    std::unique_ptr<mainform::TMainForm> form;

    // profiles: file name and contents of each profile to put into Profiles/. directory: a program
    // directory to use instead of a new one, as a second start of the program does. answers: what
    // the messages of the start are answered.
    explicit Window(const QList<std::pair<QString, QByteArray>> &profiles = {}, Encoder encoder = Encoder::Real,
                    const QString &directory = {}, std::deque<platform::MessageButton> answers = {})
        : services{encoder == Encoder::Real ? static_cast<platform::ProcessLauncher &>(realProcesses) : fakeProcesses,
                   dialogs,
                   desktop,
                   power,
                   notifications,
                   freeSpace}
    {
        const QDir program(directory.isEmpty() ? programDir.path() : directory);
        program.mkdir(QStringLiteral("Profiles"));
        for (const auto &[name, contents] : profiles) {
            QFile file(program.filePath(QStringLiteral("Profiles/") + name));
            file.open(QIODevice::WriteOnly);
            file.write(contents);
        }
        QFile::link(QStringLiteral(VELKOR_BIN_DIR "/wmaspi.dll"), program.filePath(QStringLiteral("wmaspi.dll")));
        widgets::setErrorDialogs(&dialogs);
        dialogs.answers = std::move(answers);
        form = std::make_unique<mainform::TMainForm>(services, program.path());
    }
    ~Window() { widgets::setErrorDialogs(nullptr); }

    // Closes the window and opens a new one on the program directory, with a command line.
    void restart(const QStringList &arguments = {})
    {
        form.reset();
        form = std::make_unique<mainform::TMainForm>(services, programDir.path(), arguments);
    }

    // Adds as the window's commands do and waits until the probes have listed them.
    void add(const QStringList &inputs)
    {
        for (const QString &input : inputs)
            form->taskList().AddInputFile(input);
        QVERIFY(QTest::qWaitFor([this] { return !form->taskList().probingInputs(); }, 60000));
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
