// The encoder's report on a damaged input: the probe's cut rules and the time text it yields.
#include "core/conversion/mediaprobe.h"
#include "core/platform/childprocessapi.h"
#include "core/tasks/taskrecord.h"
#include "core/tasks/timetext.h"
#include "fuzz/fuzzinput.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first line is the input's path, the rest what the encoder printed about it.
    const auto [pathBytes, report] = fuzz::splitHeader(fuzz::bytesOf(data, size));
    const QString path = QString::fromUtf8(pathBytes);

    // Fed in pieces cut where a pipe might cut them, as the encoder's reads arrive.
    conversion::ProbeResults probe;
    const auto keep = [&probe](qsizetype, const conversion::ProbeResults &probed) { probe = probed; };
    conversion::ProbeRunReader reader({path});
    fuzz::Cutter cutter(report.left(16));
    for (qsizetype at = 0; at < report.size();) {
        const qsizetype length = qMin(cutter.nextLength(report.size() - at), platform::ChildProcess::ChunkSize);
        reader.feed(report.mid(at, length), keep);
        at += length;
    }
    reader.finish(keep);

    // The facts line that may end it is the encoder's, not the report's.
    QByteArrayView withoutFacts(report);
    const QString facts = conversion::takeFacts(withoutFacts);
    fuzz::check(probe.ProbeFactsText == facts, "a report read in pieces gives the facts the whole report does");
    const conversion::CutValues cut =
        conversion::applyCutRules(QString::fromUtf8(withoutFacts.data(), withoutFacts.size()), path);
    fuzz::check(probe.ProbeLengthText == cut.duration && probe.ProbeSizeText == cut.frameSize,
                "a report read in pieces cuts as the whole report does");
    fuzz::check(probe.ProbeStartText == tasks::ZeroTimeText && probe.ProbeEndText == probe.ProbeLengthText,
                "a probe starts at zero and ends at its length");

    // The task row reads its seconds from these texts on every read.
    ltvItemData task = conversion::newTaskRecord(path, probe, QStringLiteral(".3gp"));
    const double length = tasks::TimeTextToSeconds(task.LengthText);
    fuzz::check(length == -1 || std::isfinite(length), "a length is a number of seconds or -1");
    tasks::SecondsToTimeText(length);
    tasks::StripExtension(path);
    return 0;
}
