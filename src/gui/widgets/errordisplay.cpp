#include "gui/widgets/errordisplay.h"

#include "core/platform/desktopapi.h"
#include "core/preferences/programvalues.h"

namespace widgets {
namespace {
platform::Dialogs *errorDialogs = nullptr;
} // namespace

void setErrorDialogs(platform::Dialogs *dialogs)
{
    errorDialogs = dialogs;
}

void showError(const std::exception &error)
{
    if (!errorDialogs)
        return;
    errorDialogs->messageBox(QApplication::activeWindow(), preferences::ProgramName, QString::fromUtf8(error.what()),
                             platform::MessageIcon::Error, platform::MessageButton::Ok);
}

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        showError(error);
    }
    return false;
}

} // namespace widgets
