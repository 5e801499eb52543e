#pragma once

#include "encodercommand.h"

#include <childprocessapi.h>

#include <functional>
#include <memory>

namespace conversion {

struct EncoderOutcome {
    bool started = false;
    QString startError; // a sentence for the user when the encoder could not be started
    platform::ProcessExit exit;
};

// Starts the encoder into `slot` (the process started last, which TerminateEncoder acts on), hands
// the bytes of every read to onRead (each read's own bytes only) until the output ends, then
// waits for the exit and kills whatever the encoder left behind.
EncoderOutcome runEncoder(platform::ProcessLauncher &launcher, std::unique_ptr<platform::ChildProcess> &slot,
                          const QString &encoderPath, const EncoderCommandLine &commandLine,
                          platform::ReadWait wait, const std::function<void(const QByteArray &)> &onRead);

// Kills the encoder started last with everything it started; no effect once it is gone.
void TerminateEncoder(platform::ChildProcess *encoder);

} // namespace conversion
