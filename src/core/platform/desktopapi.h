#pragma once

#include <QFlags>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QWidget;

namespace platform {

enum class MessageIcon { None, Information, Question, Warning, Error };

enum class MessageButton { None = 0, Ok = 1, Cancel = 2, Yes = 4, No = 8 };
Q_DECLARE_FLAGS(MessageButtons, MessageButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(MessageButtons)

// Message boxes and the file and folder dialogs. Filters are written "Name|patterns|Name|patterns".
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageButton messageBox(QWidget *owner, const QString &caption, const QString &text, MessageIcon icon,
                                     MessageButtons buttons) = 0;
    // The chosen existing files, in the dialog's order; empty when cancelled.
    virtual QStringList openFiles(QWidget *owner, const QString &filter) = 0;
    // The chosen name with defaultSuffix added when typed without one; empty when cancelled.
    virtual QString saveFile(QWidget *owner, const QString &filter, const QString &defaultSuffix) = 0;
    // saveFile with the dialog starting in directory.
    virtual QString saveFileIn(QWidget *owner, const QString &filter, const QString &defaultSuffix,
                               const QString &directory)
    {
        Q_UNUSED(directory);
        return saveFile(owner, filter, defaultSuffix);
    }
    // True when the user chose a folder; folder then holds its path without a trailing delimiter.
    // A folder that does not exist is not preselected.
    virtual bool selectDirectory(QWidget *owner, const QString &title, const QString &root, QString &folder) = 0;
};

// Opening a folder, a file, a web address or a "mailto:" address with the desktop's handler.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual bool open(const QString &target) = 0;
};

// Held while sleep and idle are held off; releasing it (destroying it) lets them happen again.
class SleepInhibition {
public:
    virtual ~SleepInhibition() = default;
};

// Held while the system's shutdown waits for us. shutdownPending() says the system is about to
// go down; releasing (destroying) the delay lets it go on.
class ShutdownDelay : public QObject {
    Q_OBJECT

signals:
    void shutdownPending();
};

class PowerControl {
public:
    virtual ~PowerControl() = default;
    // Asks the system to power off; false when it refused.
    virtual bool powerOff() = 0;
    // Holds off sleep and idle until the result is destroyed; null when the system refused.
    // who names the program, why is the reason the system shows.
    virtual std::unique_ptr<SleepInhibition> inhibitSleep(const QString &who, const QString &why) = 0;
    // Makes a shutdown wait until the result is destroyed, telling it when one is coming; null
    // when the system offers no such delay.
    virtual std::unique_ptr<ShutdownDelay> delayShutdown(const QString &who, const QString &why) = 0;
};

} // namespace platform
