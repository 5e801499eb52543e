#include "gui/desktop/desktopnotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace desktop {

void DesktopNotifications::notify(const QString &summary, const QString &body)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.platform::Notifications"),
                                                       QStringLiteral("/org/freedesktop/platform::Notifications"),
                                                       QStringLiteral("org.freedesktop.platform::Notifications"),
                                                       QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("velkor")}};
    call << QCoreApplication::applicationName() << 0u << QStringLiteral("velkor") << summary << body << QStringList()
         << hints << -1;
    // Sent without waiting for the answer: a slow or missing service must not hold the window.
    QDBusConnection::sessionBus().send(call);
}

} // namespace desktop
