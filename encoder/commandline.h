#pragma once

#include "streams/streamrequest.h"
#include "tracks/trackrequest.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace encoder {

struct ProbeRequest {
    std::string input;
};

// Several inputs in one run, so that a batch pays for loading libavformat once.
struct ProbeManyRequest {
    std::vector<std::string> inputs;
};

struct ConversionRequest {
    std::string input;
    std::vector<std::string> parameters; // FFmpeg output switches from the profile
    std::string output;
    // The SIZE of "-fit SIZE", a switch of ours that FFmpeg never sees; empty text when the
    // switch came without one.
    std::optional<std::string> fit;
    // "-n", as FFmpeg spells it: the output was not there when the run chose its name, so one
    // that is there now is another run's and is never replaced.
    bool replaceExisting = true;
    // "-wait-for-go": started ahead of its turn, it does nothing until its parent lets it go.
    bool waitForGo = false;
    // The seconds of "-length SECONDS", another switch of ours: how long the input was when the
    // run planned its conversion. The verdict holds the output to it, not to what the input has
    // become since.
    std::optional<double> plannedSeconds;
    TrackRequest tracks;
    StreamRequest streams;
    // What the encoder adds to the profile's switches to keep the tracks it planned.
    std::vector<std::string> trackArguments;
    // How many tracks of each kind the output should hold; empty when nothing was planned.
    std::optional<TrackCounts> plannedTracks;
    // "-source-facts FACTS": what the run's own probe of the input found, so that the input need
    // not be opened again before FFmpeg starts. Read only while the file is unchanged.
    std::string sourceFacts;
};

struct UsageRequest {};

using EncoderRequest = std::variant<ProbeRequest, ProbeManyRequest, ConversionRequest, UsageRequest>;

// Arguments without the program name.
EncoderRequest parseCommandLine(const std::vector<std::string> &arguments);

inline constexpr std::string_view UsageText =
    "usage: wmaspi.dll -i <input> [-i <input>...]  |  "
    "wmaspi.dll -y -i <input> [ffmpeg options...] [-fit SIZE] [-length SECONDS] [-n] <output>\n"
    "  -fit SIZE  converts to an output of at most SIZE bytes, first at a quality, then in two passes when "
    "that comes out over, with k = 1000 and "
    "M = 1000000 as messaging services count them (16M, 700k, 1.5M); replaces any -b:v\n"
    "  -length SECONDS  the input's length when the conversion was planned: an output clearly shorter than it "
    "asks for is incomplete, even when the input has shrunk since\n"
    "  -audio-tracks preferred|languages|all, -subtitles none|forced|preferred|all, -burn-subtitles "
    "no|forced|yes  which tracks to keep or burn in (default: preferred, preferred, no)\n"
    "  -audio-langs LANGS, -subtitle-langs LANGS  the preferred languages in order, as \"eng,ger\"\n"
    "  -audio-track N|all, -subtitle-track N|none|all  the input streams to keep, over the rules\n"
    "  -video-box WxH  fits the picture into the box, its shape kept, never enlarged, turned for a portrait "
    "source; -source-aspect W:H|stretch  the source's display shape when its own is wrong, or stretch to the box\n"
    "  -video-ceiling RATE  the most the video may get: a quality under that rate\n"
    "  -keep-streams yes|no  copies a stream that already is what the profile makes\n"
    "  -source-facts FACTS  the last line of this input's probe report: the file is not looked at again "
    "while it is unchanged\n"
    "  -wait-for-go  started ahead of its turn: does nothing until the program that started it says go\n"
    "  -n        leaves an existing output alone: the conversion fails instead";

} // namespace encoder
