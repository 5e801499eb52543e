#pragma once

#include "fit/fitsize.h"
#include "probe/mediainfo.h"
#include "probe/muxertable.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace encoder {

// What a conversion into a size needs to know before FFmpeg starts.
struct FitPlan {
    FitSize size;
    double seconds = 0; // of the output
    bool video = false;
    double videoBitRate = 0;
    // The audio bit rate we set, when the parameters leave it to the codec.
    std::optional<double> audioBitRate;
};

// The plan for fitting a conversion of the input with these parameters into sizeText, or the
// sentence that says why it cannot be done.
std::variant<FitPlan, std::string> planFit(std::string_view sizeText, const MediaInfo &input,
                                           const std::vector<std::string> &parameters, MuxerKinds kinds,
                                           std::string_view muxer);

// The sentence for an output over its size after the last try.
std::string unfitSentence(double reachedBytes, const FitSize &size);

} // namespace encoder
