#pragma once

#include <QApplication>

#include <exception>
#include <utility>

namespace platform {
class Dialogs;
}

namespace widgets {

// The application's general error display: an error that leaves a handler is shown in a message
// box, and only the user action it interrupted ends.
void setErrorDialogs(platform::Dialogs *dialogs);
void showError(const std::exception &error);

// Wraps a handler without arguments so that an error it raises is shown instead of crossing
// Qt's dispatch.
template <typename Handler> auto guarded(Handler handler)
{
    return [handler = std::move(handler)] {
        try {
            handler();
        } catch (const std::exception &error) {
            showError(error);
        }
    };
}

// Catches what escapes event handlers that are not wrapped.
class TApplication : public QApplication {
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace widgets
