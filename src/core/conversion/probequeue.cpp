#include "core/conversion/probequeue.h"

#include "core/conversion/encodercommand.h"

#include <QPointer>

#include <algorithm>

namespace conversion {
namespace {
// Inputs one encoder run probes at most: its command line stays far within what the system takes.
constexpr qsizetype MaxInputsPerRun = 64;
} // namespace

ProbeQueue::ProbeQueue(platform::ProcessLauncher &launcher, QString encoderPath, QObject *parent)
    : QObject(parent)
    , m_launcher(launcher)
    , m_encoderPath(std::move(encoderPath))
{
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, &ProbeQueue::runTimedOut);
}

ProbeQueue::~ProbeQueue()
{
    if (m_encoder) {
        disconnect(m_encoder.get(), nullptr, this, nullptr);
        m_encoder->terminate();
    }
    for (const auto &encoder : m_dying)
        disconnect(encoder.get(), nullptr, this, nullptr);
}

void ProbeQueue::append(const QString &path, bool unconfirmed)
{
    Input input;
    input.path = path;
    input.unconfirmed = unconfirmed;
    m_inputs.push_back(std::move(input));
    scheduleRun();
}

void ProbeQueue::cancel()
{
    ++m_cancels;
    m_told += qint64(m_inputs.size());
    m_inputs.clear();
    m_run.clear();
    m_limit.stop();
    if (m_encoder)
        retire(true);
    m_reader.reset();
}

void ProbeQueue::scheduleRun()
{
    if (m_runScheduled || m_encoder)
        return;
    m_runScheduled = true;
    QMetaObject::invokeMethod(this, &ProbeQueue::startRun, Qt::QueuedConnection);
}

void ProbeQueue::startRun()
{
    m_runScheduled = false;
    if (m_encoder)
        return;
    const auto waiting = [](const Input &input) { return !input.results && !input.probing; };
    const auto first = std::find_if(m_inputs.begin(), m_inputs.end(), waiting);
    if (first == m_inputs.end())
        return;
    QStringList paths;
    for (auto input = first; input != m_inputs.end() && waiting(*input) && paths.size() < MaxInputsPerRun; ++input) {
        // One that must go alone goes alone, and no run takes it along.
        if (input != first && input->alone)
            break;
        input->probing = true;
        paths << input->path;
        m_run.push_back(m_told + (input - m_inputs.begin()));
        if (input->alone)
            break;
    }
    m_reader = std::make_unique<ProbeRunReader>(paths);
    m_encoder = m_launcher.create();
    platform::ChildProcess *encoder = m_encoder.get();
    connect(encoder, &platform::ChildProcess::output, this, &ProbeQueue::readOutput);
    connect(encoder, &platform::ChildProcess::exited, this, &ProbeQueue::runExited);
    connect(encoder, &platform::ChildProcess::failedToStart, this, &ProbeQueue::runFailedToStart);
    m_limit.start(m_timeLimitMs);
    // Last: a start that fails at once is heard inside launch.
    encoder->launch(m_encoderPath, probeCommandLine(paths).arguments);
}

ProbeQueue::Input *ProbeQueue::inputAt(qsizetype position)
{
    if (position < 0 || position >= qsizetype(m_run.size()))
        return nullptr;
    const qint64 index = m_run[std::size_t(position)] - m_told;
    if (index < 0 || index >= qint64(m_inputs.size()))
        return nullptr;
    Input &input = m_inputs[std::size_t(index)];
    return input.probing ? &input : nullptr;
}

void ProbeQueue::settle(qsizetype position, const ProbeResults &results)
{
    if (Input *input = inputAt(position)) {
        input->results = results;
        input->probing = false;
    }
    // Each input has its own time, as when probed alone.
    m_limit.start(m_timeLimitMs);
}

void ProbeQueue::readOutput(const QByteArray &bytes)
{
    m_reader->feed(bytes, [this](qsizetype position, const ProbeResults &results) { settle(position, results); });
    if (m_reader->malformed())
        endRun(true, true);
    tell();
}

void ProbeQueue::runExited()
{
    m_reader->finish([this](qsizetype position, const ProbeResults &results) { settle(position, results); });
    // What a run left unreported is probed one by one: its encoder may not know the framing.
    endRun(false, true);
    tell();
}

void ProbeQueue::runFailedToStart()
{
    for (qsizetype position = 0; position < qsizetype(m_run.size()); ++position)
        settle(position, ProbeResults());
    endRun(false, false);
    tell();
}

// The run goes through its inputs in order, so the first one unreported is the one it was held
// on; a new run takes those after it.
void ProbeQueue::runTimedOut()
{
    if (!m_encoder)
        return;
    for (qsizetype position = 0; position < qsizetype(m_run.size()); ++position) {
        if (Input *input = inputAt(position)) {
            input->timedOut = true;
            settle(position, TimedOutProbe());
            break;
        }
    }
    endRun(true, false);
    tell();
}

void ProbeQueue::endRun(bool kill, bool leftGoAlone)
{
    for (qsizetype position = 0; position < qsizetype(m_run.size()); ++position) {
        if (Input *input = inputAt(position)) {
            input->probing = false;
            input->alone = input->alone || leftGoAlone;
        }
    }
    m_run.clear();
    m_limit.stop();
    retire(kill);
    m_reader.reset();
    scheduleRun();
}

void ProbeQueue::retire(bool kill)
{
    platform::ChildProcess *encoder = m_encoder.get();
    disconnect(encoder, nullptr, this, nullptr);
    const bool endStillToCome = kill && encoder->isRunning();
    if (kill)
        encoder->terminate();
    m_dying.push_back(std::move(m_encoder));
    // A killed encoder is dropped once it has gone: dropping one still there would wait for it.
    if (endStillToCome)
        connect(encoder, &platform::ChildProcess::exited, this, [this, encoder] { bury(encoder); });
    else
        bury(encoder);
}

// At the next turn: the encoder may be inside its own signal.
void ProbeQueue::bury(platform::ChildProcess *encoder)
{
    QMetaObject::invokeMethod(
        this,
        [this, encoder] { std::erase_if(m_dying, [encoder](const auto &dying) { return dying.get() == encoder; }); },
        Qt::QueuedConnection);
}

void ProbeQueue::tell()
{
    // A slot that waits in an event loop of its own may see more results come in: they are told
    // when it returns, in their order.
    if (m_telling)
        return;
    m_telling = true;
    const QPointer<ProbeQueue> alive(this);
    const int cancels = m_cancels;
    bool toldAny = false;
    while (!m_inputs.empty() && m_inputs.front().results) {
        const Input input = std::move(m_inputs.front());
        m_inputs.pop_front();
        ++m_told;
        toldAny = true;
        if (input.unconfirmed && !input.timedOut && !FoundStream(*input.results))
            continue;
        emit probed(input.path, *input.results);
        if (!alive)
            return;
        if (m_cancels != cancels) {
            m_telling = false;
            return;
        }
    }
    m_telling = false;
    if (toldAny && m_inputs.empty())
        emit idle();
}

} // namespace conversion
