#pragma once

#include "core/platform/desktopapi.h"

namespace desktop {

class WidgetDialogs final : public platform::Dialogs {
public:
    platform::MessageButton messageBox(QWidget *owner, const QString &caption, const QString &text,
                                       platform::MessageIcon icon, platform::MessageButtons buttons) override;
    QStringList openFiles(QWidget *owner, const QString &filter) override;
    QString saveFile(QWidget *owner, const QString &filter, const QString &defaultSuffix) override;
    QString saveFileIn(QWidget *owner, const QString &filter, const QString &defaultSuffix,
                       const QString &directory) override;
    bool selectDirectory(QWidget *owner, const QString &title, const QString &root, QString &folder) override;
};

class DesktopServices final : public platform::Desktop {
public:
    bool open(const QString &target) override;
};

// Powers off, and holds off sleep, through systemd-logind.
class LogindPowerControl final : public platform::PowerControl {
public:
    bool powerOff() override;
    std::unique_ptr<platform::SleepInhibition> inhibitSleep(const QString &who, const QString &why) override;
    std::unique_ptr<platform::ShutdownDelay> delayShutdown(const QString &who, const QString &why) override;
};

} // namespace desktop
