#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// A file that could not be created or replaced. It is not caught where it is raised: it ends the
// user action in progress and the application shows its message.
class EFCreateError : public std::exception {
public:
    explicit EFCreateError(const QString &message)
        : m_message(message), m_what(message.toUtf8())
    {
    }

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what;
};
