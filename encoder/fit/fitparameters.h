#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace encoder {

// The FFmpeg switches of a conversion that fits a size.

// The value after the last of these switches: FFmpeg lets the last one win, whichever of a
// switch's spellings it is.
std::optional<std::string> lastValue(const std::vector<std::string> &parameters,
                                     std::span<const std::string_view> names);

// Whether the stream goes out as it came in, at a bit rate that is not ours to choose.
bool copiesVideo(const std::vector<std::string> &parameters);
bool copiesAudio(const std::vector<std::string> &parameters);

// The audio bit rate in bits per second: the parameters' own, or ours for their codec when they
// leave it to the codec. Empty when they give one that is no bit rate.
struct AudioBitRate {
    double bitsPerSecond = 0;
    bool given = false;
};
std::optional<AudioBitRate> audioBitRate(const std::vector<std::string> &parameters);
// Gives the audio the rate in place of the one the parameters give, so that the command names
// one; appended when they give none.
void setAudioBitRate(std::vector<std::string> &parameters, const std::string &rate);

// The parameters with our video bit rate, when given, in place of theirs and of whatever would
// override it, and with the audio bit rate we counted on, when given, for their codec's own.
std::vector<std::string> fitParameters(const std::vector<std::string> &parameters, std::optional<double> videoBitRate,
                                       std::optional<double> audioBitRate);

// What follows the parameters in each pass. The first one measures the video alone, into the
// container of the second: FFmpeg evens out the frame times for some containers and not for
// others (nor for its null muxer), and a second pass given other frames than the first
// abandons the bit rate.
std::vector<std::string> firstPassSwitches(const std::string &passLog);
std::vector<std::string> secondPassSwitches(const std::string &passLog);

} // namespace encoder
