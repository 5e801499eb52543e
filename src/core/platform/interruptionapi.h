#pragma once

#include <QObject>

namespace platform {

// Word that the user (Ctrl+C) or the system asked the program to end, delivered from the event
// loop so that the program can stop its work and clean up first.
class Interruption : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // signal: the number the operating system gives the request; a program that ends because
    // of it exits with 128 + signal, as shells expect.
    void interrupted(int signal);
};

} // namespace platform
