#pragma once

#include <QString>

namespace platform {

// A passing message on the desktop, for a user who is looking at another window.
class Notifications {
public:
    virtual ~Notifications() = default;
    virtual void notify(const QString &summary, const QString &body) = 0;
};

// For a window given no notification service.
class SilentNotifications final : public Notifications {
public:
    void notify(const QString &, const QString &) override {}
};

inline Notifications &silentNotifications()
{
    static SilentNotifications silent;
    return silent;
}

} // namespace platform
