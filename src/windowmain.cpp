#include "cli/headlessmain.h"
#include "core/platform/childprocess.h"
#include "core/platform/qtchildprocess.h"
#include "core/platform/signalinterruption.h"
#include "gui/desktop/desktopnotifications.h"
#include "gui/desktop/desktopservices.h"
#include "gui/mainform/mainform.h"
#include "gui/widgets/errordisplay.h"

using mainform::TMainForm;

int main(int argc, char *argv[])
{
    // Started by name with a batch to convert, it converts it as the program does.
    if (cli::wantsHeadless(argc, argv))
        return cli::runHeadless(argc, argv);

    widgets::TApplication application(argc, argv);
    int status = 0;
    {
        // A closed terminal, a logout or Ctrl+C ends the program as a close does, leaving no
        // partial output behind; caught from the start, so that one that comes while the window
        // is being made is heard once it is shown.
        platform::SignalInterruption interruption;
        platform::QtProcessLauncher processes;
        desktop::WidgetDialogs dialogs;
        desktop::DesktopServices desktop;
        desktop::LogindPowerControl power;
        desktop::DesktopNotifications notifications;
        platform::Services services{processes, dialogs, desktop, power, notifications};
        widgets::setErrorDialogs(&dialogs);

        TMainForm mainForm(services, QCoreApplication::applicationDirPath(), application.arguments().mid(1));
        QObject::connect(&interruption, &platform::Interruption::interrupted, &mainForm,
                         &TMainForm::closeWithoutQuestion);
        // SIGUSR1 asks the window's run to end after the current files, as its Stop menu does; the
        // suspend key still stops a window started from a terminal.
        QObject::connect(&interruption, &platform::Interruption::finishRequested, &mainForm,
                         [&mainForm] { mainForm.runControl().finishCurrent(); });
        QObject::connect(&interruption, &platform::Interruption::suspendRequested, &mainForm,
                         &platform::suspendCurrentProcess);
        mainForm.show();
        status = application.exec();
        widgets::setErrorDialogs(nullptr);
    }
    // Killed encoders may take a while to be gone; none may outlive the program.
    platform::endProcessGroups();
    return status;
}
