#include "core/conversion/encoderahead.h"

namespace conversion {
namespace {

// The encoder's own switch goes among the parameters, after "-y -i INPUT".
QStringList waitingArguments(const QStringList &arguments)
{
    QStringList waiting = arguments;
    waiting.insert(qMin<qsizetype>(3, waiting.size()), QStringLiteral("-wait-for-go"));
    return waiting;
}

} // namespace

void EncoderAhead::prepare(const QString &program, const QStringList &arguments, platform::ProcessPriority priority)
{
    if (m_encoder && m_encoder->isRunning() && m_program == program && m_arguments == arguments)
        return;
    m_encoder.reset();
    if (!m_launcher.startsWaiting())
        return;
    m_program = program;
    m_arguments = arguments;
    m_encoder = m_launcher.create();
    m_encoder->setPriority(priority);
    m_encoder->setWaitsForGo(true);
    m_encoder->launch(program, waitingArguments(arguments));
}

std::unique_ptr<platform::ChildProcess> EncoderAhead::take(const QString &program, const QStringList &arguments)
{
    auto encoder = std::move(m_encoder);
    if (!encoder || !encoder->isRunning() || m_program != program || m_arguments != arguments)
        return {};
    encoder->go();
    return encoder;
}

} // namespace conversion
