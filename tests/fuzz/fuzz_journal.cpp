// The journal of the task list, read at the start after a crash: whatever is on disk, the reader
// refuses it with a reason or gives a list that it writes back the same.
#include "core/tasks/taskjournal.h"
#include "fuzz/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString problem;
    const std::optional<tasks::TaskJournal> journal = tasks::decodeTaskJournal(fuzz::bytesOf(data, size), &problem);
    fuzz::check(journal.has_value() == problem.isEmpty(), "a refusal always says why");
    if (!journal)
        return 0;
    for (const tasks::Task &task : journal->tasks)
        fuzz::check(!task.record.InputFile.isEmpty(), "every task names its input");
    const QByteArray written = tasks::encodeTaskJournal(*journal);
    const std::optional<tasks::TaskJournal> again = tasks::decodeTaskJournal(written);
    fuzz::check(again.has_value() && tasks::encodeTaskJournal(*again) == written,
                "what is read is written back the same");
    return 0;
}
