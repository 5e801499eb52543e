#pragma once

#include "core/platform/interruptionapi.h"

class QSocketNotifier;

namespace platform {

// Catches the interrupt (Ctrl+C), termination and hang-up signals for as long as it lives, and
// reports each as interrupted(); SIGUSR1 as finishRequested(), the suspend key (Ctrl+Z) as
// suspendRequested() and SIGCONT as continued(). Only one may exist at a time; needs a QCoreApplication.
class SignalInterruption final : public Interruption {
    Q_OBJECT

public:
    explicit SignalInterruption(QObject *parent = nullptr);
    ~SignalInterruption() override;

private:
    void readSignals();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace platform
