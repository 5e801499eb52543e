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
    // The user asks that the run end once the files converting now are done.
    void finishRequested();
    // The terminal's suspend key: the program holds its work, then stops itself.
    void suspendRequested();
    // The program goes on after a suspend (a shell's fg or bg).
    void continued();
};

} // namespace platform
