#include "encoderrun.h"

namespace conversion {

EncoderOutcome runEncoder(platform::ProcessLauncher &launcher, std::unique_ptr<platform::ChildProcess> &slot,
                          const QString &encoderPath, const EncoderCommandLine &commandLine,
                          platform::ReadWait wait, const std::function<void(const QByteArray &)> &onRead)
{
    EncoderOutcome outcome;
    slot = launcher.create();
    platform::ChildProcess *encoder = slot.get();
    if (!encoder->start(encoderPath, commandLine.arguments)) {
        outcome.startError = encoder->errorString();
        return outcome;
    }
    outcome.started = true;
    for (;;) {
        const QByteArray bytes = encoder->read(EncoderReadSize, wait);
        if (bytes.isEmpty())
            break;
        onRead(bytes);
    }
    outcome.exit = encoder->waitForExit(wait);
    TerminateEncoder(encoder);
    return outcome;
}

void TerminateEncoder(platform::ChildProcess *encoder)
{
    if (encoder)
        encoder->terminate();
}

} // namespace conversion
