#include "core/conversion/encoderrun.h"

namespace conversion {

EncoderOutcome runEncoder(platform::ProcessLauncher &launcher, const QString &encoderPath,
                          const EncoderCommandLine &commandLine, QDeadlineTimer deadline,
                          const std::function<void(const QByteArray &)> &onRead)
{
    EncoderOutcome outcome;
    const std::unique_ptr<platform::ChildProcess> encoder = launcher.create();
    if (!encoder->start(encoderPath, commandLine.arguments)) {
        outcome.startError = encoder->errorString();
        return outcome;
    }
    outcome.started = true;
    for (;;) {
        const auto bytes = encoder->read(EncoderReadSize, deadline);
        if (!bytes) {
            outcome.timedOut = true;
            break;
        }
        if (bytes->isEmpty())
            break;
        onRead(*bytes);
    }
    if (!outcome.timedOut) {
        if (const auto exit = encoder->waitForExit(deadline))
            outcome.exit = *exit;
        else
            outcome.timedOut = true;
    }
    TerminateEncoder(encoder.get());
    return outcome;
}

void TerminateEncoder(platform::ChildProcess *encoder)
{
    if (encoder)
        encoder->terminate();
}

} // namespace conversion
