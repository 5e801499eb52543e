#include "fit/fitplan.h"

#include "conversionplan.h"
#include "core/protocol/durationtext.h"
#include "decimaltext.h"
#include "fit/fitbudget.h"
#include "fit/fitparameters.h"
#include "verdict/expectation.h"

#include <algorithm>

namespace encoder {

namespace {

bool has(const std::vector<std::string> &parameters, const char *name)
{
    return std::find(parameters.begin(), parameters.end(), name) != parameters.end();
}

const StreamInfo *firstOfKind(const MediaInfo &input, const std::string &kind)
{
    const auto found = std::find_if(input.streams.begin(), input.streams.end(),
                                    [&kind](const StreamInfo &stream) { return stream.kind == kind; });
    return found == input.streams.end() ? nullptr : &*found;
}

// The output's length: the kept streams' after the trim; the input's after the trim when -map
// leaves the kept streams unknown. A length libavformat guessed from a bit rate is no length.
std::optional<double> outputSeconds(const MediaInfo &input, const std::vector<std::string> &parameters,
                                    MuxerKinds kinds)
{
    if (input.durationGuessed)
        return std::nullopt;
    std::optional<double> seconds = expectedOutput(input, parameters, kinds).seconds;
    if (!seconds && input.durationSeconds)
        seconds = trimmedSeconds(*input.durationSeconds, parameters);
    if (!seconds || !(*seconds > 0))
        return std::nullopt;
    return seconds;
}

std::string kilobitsText(double bitsPerSecond)
{
    return fixedDecimal(bitsPerSecond / 1000, 0) + " kbit/s";
}

std::string unfitLength(double seconds, const FitSize &size, const Unfit &unfit)
{
    const std::string start = "cannot fit " + protocol::durationText(seconds) + " in " + givenText(size) + ": ";
    const std::string least = "; " + leastText(unfit.leastBytes, size) + " is the least that would work";
    if (unfit.videoBitRate)
        return start + "the video would get " + kilobitsText(*unfit.videoBitRate) + ", under the least of " +
               kilobitsText(LeastVideoBitRate) + least;
    return start + "the audio alone needs " + overText(unfit.audioBytes, size) + least;
}

} // namespace

std::variant<FitPlan, std::string> planFit(std::string_view sizeText, const MediaInfo &input,
                                           const std::vector<std::string> &parameters, MuxerKinds kinds,
                                           std::string_view muxer)
{
    const auto size = parseFitSize(sizeText);
    if (!size)
        return "-fit takes a size such as 16M, 700k or 1.5M, not '" + std::string(sizeText) + "'";
    const std::string cannot = "cannot fit in " + givenText(*size) + ": ";
    const auto seconds = outputSeconds(input, parameters, kinds);
    if (!seconds)
        return cannot + "the length of the input is not known";

    FitPlan plan;
    plan.size = *size;
    plan.seconds = *seconds;
    plan.video = kinds.video && !has(parameters, "-vn") && firstOfKind(input, "Video");
    if (plan.video && copiesVideo(parameters))
        return cannot + "the video is copied as it is, at a bit rate that is not ours to choose";

    double audioBits = 0;
    const StreamInfo *audio = kinds.audio && !has(parameters, "-an") ? firstOfKind(input, "Audio") : nullptr;
    if (audio && copiesAudio(parameters)) {
        if (!audio->bitRate)
            return cannot + "the bit rate of the copied audio is not known";
        audioBits = double(*audio->bitRate);
    } else if (audio) {
        const auto rate = audioBitRate(parameters);
        if (!rate)
            return cannot + "the audio bit rate given is no number of bits per second";
        audioBits = rate->bitsPerSecond;
        if (!rate->given)
            plan.audioBitRate = audioBits;
    }

    const FitBudget budget = fitBudget({size->bytes, *seconds, audioBits, plan.video, containerAllowance(muxer)});
    if (budget.unfit)
        return unfitLength(*seconds, *size, *budget.unfit);
    plan.videoBitRate = budget.videoBitRate;
    return plan;
}

std::string unfitSentence(double reachedBytes, const FitSize &size)
{
    return "could not fit in " + givenText(size) + ": " + overText(reachedBytes, size) +
           " at the lowest bit rate tried";
}

} // namespace encoder
