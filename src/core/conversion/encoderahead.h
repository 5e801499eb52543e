#pragma once

#include "core/platform/childprocessapi.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace conversion {

// The encoder of the task next in line, started while the tasks before it convert, so that its
// own start-up is behind it when its turn comes. It waits before it looks at anything: the input,
// the output and the free space are looked at when it goes, as for an encoder started then.
class EncoderAhead {
public:
    explicit EncoderAhead(platform::ProcessLauncher &launcher) : m_launcher(launcher) {}

    // Starts one for this command unless one waits for it already; one for another is ended.
    // Nothing where the launcher cannot start a child to wait.
    void prepare(const QString &program, const QStringList &arguments, platform::ProcessPriority priority);
    // The waiting encoder, let go, when it was started for exactly this command and still waits;
    // otherwise none, and any other is ended.
    std::unique_ptr<platform::ChildProcess> take(const QString &program, const QStringList &arguments);
    void discard() { m_encoder.reset(); }
    bool isWaiting() const { return m_encoder != nullptr; }

private:
    platform::ProcessLauncher &m_launcher;
    std::unique_ptr<platform::ChildProcess> m_encoder;
    QString m_program;
    QStringList m_arguments;
};

} // namespace conversion
