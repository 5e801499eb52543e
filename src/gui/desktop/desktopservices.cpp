#include "gui/desktop/desktopservices.h"

#include "core/platform/dialogfilter.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>

namespace desktop {
namespace {

QMessageBox::Icon toQt(platform::MessageIcon icon)
{
    switch (icon) {
    case platform::MessageIcon::Information:
        return QMessageBox::Information;
    case platform::MessageIcon::Question:
        return QMessageBox::Question;
    case platform::MessageIcon::Warning:
        return QMessageBox::Warning;
    case platform::MessageIcon::Error:
        return QMessageBox::Critical;
    case platform::MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

platform::MessageButton WidgetDialogs::messageBox(QWidget *owner, const QString &caption, const QString &text,
                                                  platform::MessageIcon icon, platform::MessageButtons buttons)
{
    QMessageBox box(toQt(icon), caption, text, QMessageBox::NoButton, owner);
    box.setAccessibleName(caption);
    const std::pair<platform::MessageButton, QMessageBox::StandardButton> known[] = {
        {platform::MessageButton::Ok, QMessageBox::Ok},
        {platform::MessageButton::Yes, QMessageBox::Yes},
        {platform::MessageButton::No, QMessageBox::No},
        {platform::MessageButton::Cancel, QMessageBox::Cancel},
    };
    for (const auto &[ours, qt] : known) {
        if (buttons.testFlag(ours))
            box.addButton(qt);
    }
    if (box.buttons().isEmpty())
        box.addButton(QMessageBox::Ok);
    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto &[ours, qt] : known) {
        if (qt == clicked)
            return ours;
    }
    return buttons.testFlag(platform::MessageButton::Cancel) ? platform::MessageButton::Cancel
           : buttons.testFlag(platform::MessageButton::No)   ? platform::MessageButton::No
                                                             : platform::MessageButton::Ok;
}

QStringList WidgetDialogs::openFiles(QWidget *owner, const QString &filter)
{
    QFileDialog dialog(owner);
    dialog.setAccessibleName(QStringLiteral("Open"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(platform::qtNameFilters(filter).split(QStringLiteral(";;")));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString WidgetDialogs::saveFile(QWidget *owner, const QString &filter, const QString &defaultSuffix)
{
    return saveFileIn(owner, filter, defaultSuffix, QString());
}

QString WidgetDialogs::saveFileIn(QWidget *owner, const QString &filter, const QString &defaultSuffix,
                                  const QString &directory)
{
    QFileDialog dialog(owner);
    if (!directory.isEmpty())
        dialog.setDirectory(directory);
    dialog.setAccessibleName(QStringLiteral("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(platform::qtNameFilters(filter).split(QStringLiteral(";;")));
    QString suffix = defaultSuffix;
    dialog.setDefaultSuffix(suffix.remove(0, suffix.startsWith(QLatin1Char('.')) ? 1 : 0));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool WidgetDialogs::selectDirectory(QWidget *owner, const QString &title, const QString &root, QString &folder)
{
    const QString start = QFileInfo(folder).isDir() ? folder : root;
    const QString chosen = QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return false;
    folder = QDir::toNativeSeparators(QDir::cleanPath(chosen));
    return true;
}

bool DesktopServices::open(const QString &target)
{
    static const QRegularExpression scheme(QStringLiteral("^(https?|mailto|ftp):"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QUrl url = scheme.match(target).hasMatch() ? QUrl(target) : QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url);
}

bool LogindPowerControl::powerOff()
{
    QDBusInterface manager(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
    if (!manager.isValid())
        return false;
    // Not interactive: a polkit prompt could not be answered while we close.
    const QDBusReply<void> reply = manager.call(QStringLiteral("PowerOff"), false);
    return reply.isValid();
}

namespace {
// logind keeps the lock as long as any copy of this descriptor is open.
class LogindInhibition final : public platform::SleepInhibition {
public:
    explicit LogindInhibition(QDBusUnixFileDescriptor lock) : m_lock(std::move(lock)) {}

private:
    QDBusUnixFileDescriptor m_lock;
};

const QString Login1Service = QStringLiteral("org.freedesktop.login1");
const QString Login1Path = QStringLiteral("/org/freedesktop/login1");
const QString Login1Manager = QStringLiteral("org.freedesktop.login1.Manager");

// logind's Inhibit: a descriptor that holds the lock while it is open; invalid when refused.
QDBusUnixFileDescriptor inhibit(const QString &what, const QString &who, const QString &why, const QString &mode)
{
    QDBusInterface manager(Login1Service, Login1Path, Login1Manager, QDBusConnection::systemBus());
    if (!manager.isValid())
        return {};
    const QDBusReply<QDBusUnixFileDescriptor> reply = manager.call(QStringLiteral("Inhibit"), what, who, why, mode);
    return reply.isValid() ? reply.value() : QDBusUnixFileDescriptor();
}
} // namespace

std::unique_ptr<platform::SleepInhibition> LogindPowerControl::inhibitSleep(const QString &who, const QString &why)
{
    QDBusUnixFileDescriptor lock = inhibit(QStringLiteral("sleep:idle"), who, why, QStringLiteral("block"));
    if (!lock.isValid())
        return nullptr;
    return std::make_unique<LogindInhibition>(std::move(lock));
}

namespace {
// A "delay" lock of logind: the shutdown waits (up to logind's own limit) until the descriptor is
// closed, and PrepareForShutdown(true) tells us it is coming.
class LogindShutdownDelay final : public platform::ShutdownDelay {
    Q_OBJECT

public:
    explicit LogindShutdownDelay(QDBusUnixFileDescriptor lock) : m_lock(std::move(lock))
    {
        QDBusConnection::systemBus().connect(Login1Service, Login1Path, Login1Manager,
                                             QStringLiteral("PrepareForShutdown"), this,
                                             SLOT(prepareForShutdown(bool)));
    }

private slots:
    void prepareForShutdown(bool coming)
    {
        if (coming)
            emit shutdownPending();
    }

private:
    QDBusUnixFileDescriptor m_lock;
};
} // namespace

std::unique_ptr<platform::ShutdownDelay> LogindPowerControl::delayShutdown(const QString &who, const QString &why)
{
    QDBusUnixFileDescriptor lock = inhibit(QStringLiteral("shutdown"), who, why, QStringLiteral("delay"));
    if (!lock.isValid())
        return nullptr;
    return std::make_unique<LogindShutdownDelay>(std::move(lock));
}

} // namespace desktop

#include "desktopservices.moc"
