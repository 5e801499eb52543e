#pragma once

#include "core/conversion/encodercommand.h"
#include "core/platform/childprocessapi.h"

#include <QDeadlineTimer>

#include <functional>

namespace conversion {

struct EncoderOutcome {
    bool started = false;
    QString startError;    // a sentence for the user when the encoder could not be started
    bool timedOut = false; // killed at the deadline; its exit tells nothing
    platform::ProcessExit exit;
};

// Runs the encoder in a process of its own for a short job whose caller waits: hands the bytes of
// every read to onRead (each read's own bytes only) until the output ends or the deadline passes,
// then kills whatever the encoder left behind.
EncoderOutcome runEncoder(platform::ProcessLauncher &launcher, const QString &encoderPath,
                          const EncoderCommandLine &commandLine, QDeadlineTimer deadline,
                          const std::function<void(const QByteArray &)> &onRead);

// Kills the encoder with everything it started; no effect once it is gone.
void TerminateEncoder(platform::ChildProcess *encoder);

} // namespace conversion
