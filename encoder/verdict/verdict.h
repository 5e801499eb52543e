#pragma once

#include "commandline.h"
#include "ffmpeg/ffmpeglog.h"
#include "ffmpeg/ffmpegrun.h"
#include "verdict/expectation.h"

#include <optional>
#include <string>
#include <vector>

namespace encoder {

// The verdict on FFmpeg's run into the part file, with the exit status it gives; for a run in
// several passes, on the last one.
int conclude(const ConversionRequest &request, const std::vector<std::string> &container,
             const FfmpegRun::Outcome &outcome);

// What a finished conversion should have given, when FFmpeg's own account settles it: the
// input's duration and stream kinds from its log, every kept kind written, and the position
// it reached not short of the input's length. Empty whenever the account leaves any doubt:
// the files must then be opened to judge. Opening them costs more than FFmpeg's start-up.
std::optional<Expectation> settledByAccount(const FfmpegAccount &account, double reachedSeconds, bool progressEnded,
                                            const std::vector<std::string> &parameters,
                                            const std::optional<MuxerKinds> &muxer);

} // namespace encoder
