#pragma once

#include <optional>
#include <string>
#include <vector>

namespace encoder {

enum class AudioRule { Preferred, Languages, All };
enum class SubtitleRule { None, Forced, Preferred, All };
enum class BurnRule { No, Forced, Yes };

// Which tracks the user wants: the profile's rules, the preferred languages, the task's picks.
struct TrackRequest {
    AudioRule audio = AudioRule::Preferred;
    SubtitleRule subtitles = SubtitleRule::Preferred;
    BurnRule burn = BurnRule::No;
    std::vector<std::string> audioLanguages; // in order of preference; empty: none preferred
    std::vector<std::string> subtitleLanguages;
    // The task's own pick: "all", "none" (subtitles) or an input stream index; it wins over the rule.
    std::optional<std::string> audioPick;
    std::optional<std::string> subtitlePick;
};

struct TrackCounts {
    int video = 0;
    int audio = 0;
    int subtitle = 0;
};

// Takes our track switches out of the switches meant for FFmpeg, the last of each counting.
// False when one has no value or a value it does not know.
bool takeTrackSwitches(std::vector<std::string> &parameters, TrackRequest &request);

} // namespace encoder
