#pragma once

#include "core/protocol/tracks.h"
#include "tracks/trackrequest.h"

#include <optional>
#include <string>
#include <vector>

namespace encoder {

// What the output's container can hold, in the words the log uses for it ("MP4").
struct OutputTraits {
    std::string name;
    bool video = true;
    bool audio = true;
    bool oneAudio = false;      // mp3, wav, adts, ...
    bool textSubtitles = false; // converted to subtitleCodec
    bool pictureSubtitles = false;
    bool attachments = false;
    std::string subtitleCodec; // "mov_text", "webvtt", "copy"
};

// The output's traits from FFmpeg's muxer name; video and audio as the muxer table says.
OutputTraits outputTraits(const std::string &muxer, bool video, bool audio);

enum class TrackFate { Kept, Burned, LeftOut };

struct PlannedTrack {
    protocol::Track track;
    TrackFate fate = TrackFate::LeftOut;
    std::string reason; // for one left out: ", by ..." or ", as ..."
};

struct TrackPlan {
    std::vector<PlannedTrack> tracks; // every input stream, in its order
    std::optional<int> burned;        // the input stream drawn onto the video
    std::optional<int> picked;        // the subtitle the task itself picked
    TrackCounts counts;
};

struct InputTrack {
    protocol::Track track;
    bool coverArt = false;
};

// The switches of the profile it reads: -vn, -an, -sn.
TrackPlan planTracks(const std::vector<InputTrack> &input, const TrackRequest &request, const OutputTraits &output,
                     const std::vector<std::string> &parameters);

// "kept: 1: English AC-3 5.1", "left out: 2: French AC-3 5.1, by Audio Tracks = Preferred language".
std::vector<std::string> planLines(const TrackPlan &plan);

} // namespace encoder
