// The encoder's report on a damaged input: the probe's cut rules and the time text it yields.
#include "core/conversion/mediaprobe.h"
#include "core/platform/childprocessapi.h"
#include "core/tasks/taskrecord.h"
#include "core/tasks/timetext.h"
#include "fuzz/fuzzinput.h"

namespace {

// An encoder that prints the given report in pieces cut where a pipe might cut it.
class ReplayedEncoder : public platform::ChildProcess {
public:
    explicit ReplayedEncoder(const QByteArray &output) : m_output(output), m_cutter(output.left(16)) {}

    void launch(const QString &, const QStringList &) override {}
    bool start(const QString &, const QStringList &) override { return true; }
    QString errorString() const override { return {}; }
    std::optional<QByteArray> read(qsizetype maxBytes, QDeadlineTimer) override
    {
        const qsizetype length = qMin(m_cutter.nextLength(m_output.size() - m_at), maxBytes);
        const QByteArray piece = m_output.mid(m_at, length);
        m_at += piece.size();
        return piece;
    }
    std::optional<platform::ProcessExit> waitForExit(QDeadlineTimer) override
    {
        return platform::ProcessExit{false, 0};
    }
    void terminate() override {}
    bool isRunning() const override { return m_at < m_output.size(); }

private:
    QByteArray m_output;
    qsizetype m_at = 0;
    fuzz::Cutter m_cutter;
};

class ReplayLauncher : public platform::ProcessLauncher {
public:
    explicit ReplayLauncher(const QByteArray &output) : m_output(output) {}
    std::unique_ptr<platform::ChildProcess> create() override { return std::make_unique<ReplayedEncoder>(m_output); }

private:
    QByteArray m_output;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first line is the input's path, the rest what the encoder printed about it.
    const auto [pathBytes, report] = fuzz::splitHeader(fuzz::bytesOf(data, size));
    const QString path = QString::fromUtf8(pathBytes);

    ReplayLauncher launcher(report);
    const tasks::ProbeResults probe = tasks::ProbeMedia(launcher, QStringLiteral("wmaspi.dll"), path);
    const tasks::CutValues cut = tasks::applyCutRules(QString::fromUtf8(report), path);
    fuzz::check(probe.ProbeLengthText == cut.duration && probe.ProbeSizeText == cut.frameSize,
                "a report read in pieces cuts as the whole report does");
    fuzz::check(probe.ProbeStartText == tasks::ZeroTimeText && probe.ProbeEndText == probe.ProbeLengthText,
                "a probe starts at zero and ends at its length");

    // The task row reads its seconds from these texts on every read.
    ltvItemData task = tasks::newTaskRecord(path, probe, QStringLiteral(".3gp"));
    const double length = tasks::TimeTextToSeconds(task.LengthText);
    fuzz::check(length == -1 || std::isfinite(length), "a length is a number of seconds or -1");
    tasks::SecondsToTimeText(length);
    tasks::StripExtension(path);
    return 0;
}
