#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace platform {

// A failure told to the user in a sentence. It is not caught where it is raised: it ends the user
// action in progress and the application shows its message.
class UserError : public std::exception {
public:
    explicit UserError(const QString &message) : m_message(message), m_what(message.toUtf8()) {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what;
};

} // namespace platform
