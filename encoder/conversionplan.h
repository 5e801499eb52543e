#pragma once

#include "commandline.h"
#include "probe/muxertable.h"

#include <optional>
#include <string>
#include <vector>

namespace encoder {

// FFmpeg never writes the user's file directly: it writes here, and only a verified result is
// renamed into place.
std::string partPathFor(const std::string &output);

// The part file's name says nothing about its container, so FFmpeg is told with -f: the muxer
// the output's extension names, or none added when the profile has its own -f. Empty when
// no muxer fits the extension.
std::optional<std::vector<std::string>> containerSwitch(const ConversionRequest &request);

// The muxer the output gets: ours when we add -f, else the profile's own. Empty when neither
// names one.
std::optional<std::string> muxerName(const ConversionRequest &request, const std::vector<std::string> &container);
std::optional<MuxerKinds> muxerKinds(const ConversionRequest &request, const std::vector<std::string> &container);

// The value after the last occurrence of the switch, in seconds (av_parse_time syntax).
std::optional<double> switchSeconds(const std::vector<std::string> &parameters, const std::string &name);

// What is left of an input of these seconds after the parameters' -ss, up to their -t or, without
// one, their -to.
double trimmedSeconds(double seconds, const std::vector<std::string> &parameters);

std::vector<std::string> ffmpegArguments(const ConversionRequest &request, const std::vector<std::string> &container);

} // namespace encoder
