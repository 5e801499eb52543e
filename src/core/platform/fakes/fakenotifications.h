#pragma once

#include "core/platform/notificationsapi.h"

#include <QList>

namespace platform {

class FakeNotifications final : public Notifications {
public:
    struct Shown {
        QString summary;
        QString body;
    };
    void notify(const QString &summary, const QString &body) override { shown.append({summary, body}); }
    QList<Shown> shown;
};

} // namespace platform
