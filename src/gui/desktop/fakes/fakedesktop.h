#pragma once

#include "core/platform/desktopapi.h"

#include <QList>

#include <deque>
#include <functional>

namespace desktop {

struct ShownMessage {
    QString caption;
    QString text;
    platform::MessageIcon icon;
    platform::MessageButtons buttons;
};

// Records every message and answers from a queue (Ok or Yes when the queue is empty).
class FakeDialogs final : public platform::Dialogs {
public:
    platform::MessageButton messageBox(QWidget *owner, const QString &caption, const QString &text,
                                       platform::MessageIcon icon, platform::MessageButtons buttons) override;
    QStringList openFiles(QWidget *owner, const QString &filter) override;
    QString saveFile(QWidget *owner, const QString &filter, const QString &defaultSuffix) override;
    QString saveFileIn(QWidget *owner, const QString &filter, const QString &defaultSuffix,
                       const QString &directory) override;
    bool selectDirectory(QWidget *owner, const QString &title, const QString &root, QString &folder) override;

    QList<ShownMessage> messages;
    std::deque<platform::MessageButton> answers;
    std::function<void(const ShownMessage &)> onMessage; // runs while the box would be open

    QStringList filesToOpen; // the next open dialog's choice; empty: cancelled
    QString lastOpenFilter;
    QString fileToSave;
    QString lastSaveFilter, lastSaveSuffix, lastSaveDirectory;
    QString folderToChoose; // empty: cancelled
    QStringList folderTitles;
};

class FakeDesktop final : public platform::Desktop {
public:
    bool open(const QString &target) override
    {
        opened.append(target);
        return launcherFound;
    }
    QStringList opened;
    bool launcherFound = true; // false: as a desktop without a program to open anything
};

struct Inhibition {
    QString who;
    QString why;
};

class FakePowerControl final : public platform::PowerControl {
public:
    bool powerOff() override
    {
        ++powerOffs;
        return true;
    }
    std::unique_ptr<platform::SleepInhibition> inhibitSleep(const QString &who, const QString &why) override
    {
        inhibitions.append({who, why});
        return std::make_unique<Lock>(heldLocks);
    }
    std::unique_ptr<platform::ShutdownDelay> delayShutdown(const QString &who, const QString &why) override
    {
        shutdownDelays.append({who, why});
        return std::make_unique<Delay>(*this);
    }
    // Tells the holder of the latest delay, if it still holds it, that the system goes down.
    void announceShutdown()
    {
        if (m_latestDelay)
            emit m_latestDelay->shutdownPending();
    }
    int powerOffs = 0;
    QList<Inhibition> inhibitions;
    QList<Inhibition> shutdownDelays;
    int heldDelays = 0;
    int heldLocks = 0;

private:
    class Delay final : public platform::ShutdownDelay {
    public:
        explicit Delay(FakePowerControl &power) : m_power(power)
        {
            ++m_power.heldDelays;
            m_power.m_latestDelay = this;
        }
        ~Delay() override
        {
            --m_power.heldDelays;
            if (m_power.m_latestDelay == this)
                m_power.m_latestDelay = nullptr;
        }

    private:
        FakePowerControl &m_power;
    };
    platform::ShutdownDelay *m_latestDelay = nullptr;

    class Lock final : public platform::SleepInhibition {
    public:
        explicit Lock(int &held) : m_held(held) { ++m_held; }
        ~Lock() override { --m_held; }

    private:
        int &m_held;
    };
};

} // namespace desktop
