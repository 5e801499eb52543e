#include "verdict/verdict.h"

#include <algorithm>

namespace encoder {

std::optional<Expectation> settledByAccount(const FfmpegAccount &account, double reachedSeconds, bool progressEnded,
                                            const std::vector<std::string> &parameters,
                                            const std::optional<MuxerKinds> &muxer)
{
    if (!progressEnded || !account.inputSeen || !account.sizesSeen || !account.inputSeconds || !muxer)
        return std::nullopt;
    // -map picks streams by rules of its own, which only the output itself can tell.
    if (std::find(parameters.begin(), parameters.end(), "-map") != parameters.end())
        return std::nullopt;

    MediaInfo input;
    input.durationSeconds = account.inputSeconds;
    for (const std::string &kind : account.inputKinds) {
        StreamInfo stream;
        stream.kind = kind;
        input.streams.push_back(stream);
    }
    const Expectation expected = expectedOutput(input, parameters, *muxer);
    if (!expected.video && !expected.audio)
        return std::nullopt;
    // The sizes are rounded to whole kilobytes: a stream under half of one reads as none.
    if ((expected.video && account.videoKilobytes <= 0) || (expected.audio && account.audioKilobytes <= 0))
        return std::nullopt;
    // The container's length is at least each stream's, so a run not short of it is not short
    // of the kept streams either; one short of it may still be complete, and is looked at.
    if (!expected.seconds || clearlyShort(reachedSeconds, *expected.seconds))
        return std::nullopt;
    return expected;
}

} // namespace encoder
