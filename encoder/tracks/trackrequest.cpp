#include "tracks/trackrequest.h"

#include "core/protocol/tracks.h"
#include "ownswitches.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace encoder {

namespace {

bool isIndex(const std::string &text)
{
    return !text.empty() && text.size() < 6 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

template <typename Rule>
std::function<bool(const std::string &)> ruleReader(Rule &rule, std::vector<std::pair<std::string, Rule>> words)
{
    return [&rule, words = std::move(words)](const std::string &value) {
        for (const auto &[word, meaning] : words) {
            if (word == value) {
                rule = meaning;
                return true;
            }
        }
        return false;
    };
}

std::function<bool(const std::string &)> pickReader(std::optional<std::string> &pick, bool takesNone)
{
    return [&pick, takesNone](const std::string &value) {
        if (value == "all" || (takesNone && value == "none") || isIndex(value)) {
            pick = value;
            return true;
        }
        return false;
    };
}

} // namespace

bool takeTrackSwitches(std::vector<std::string> &parameters, TrackRequest &request)
{
    const std::vector<SwitchReader> readers = {
        {"-audio-tracks", ruleReader(request.audio, {{"preferred", AudioRule::Preferred},
                                                     {"languages", AudioRule::Languages},
                                                     {"all", AudioRule::All}})},
        {"-subtitles", ruleReader(request.subtitles, {{"none", SubtitleRule::None},
                                                      {"forced", SubtitleRule::Forced},
                                                      {"preferred", SubtitleRule::Preferred},
                                                      {"all", SubtitleRule::All}})},
        {"-burn-subtitles",
         ruleReader(request.burn, {{"no", BurnRule::No}, {"forced", BurnRule::Forced}, {"yes", BurnRule::Yes}})},
        {"-audio-langs",
         [&request](const std::string &value) { return request.audioLanguages = protocol::languageList(value), true; }},
        {"-subtitle-langs",
         [&request](const std::string &value) {
             return request.subtitleLanguages = protocol::languageList(value), true;
         }},
        {"-audio-track", pickReader(request.audioPick, false)},
        {"-subtitle-track", pickReader(request.subtitlePick, true)},
    };
    return takeOwnSwitches(parameters, readers);
}

} // namespace encoder
