#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace encoder {

// What FFmpeg's log tells of a conversion: enough, most of the time, to judge its result
// without opening a file ourselves.
struct FfmpegAccount {
    bool inputSeen = false;
    std::optional<double> inputSeconds;  // its "Duration:"; empty for N/A
    std::vector<std::string> inputKinds; // "Video", "Audio", ... one per input stream
    bool sizesSeen = false;              // the closing "video:…kB audio:…kB …" line
    double videoKilobytes = 0;
    double audioKilobytes = 0;
};

// Reads FFmpeg's stderr, run with "-loglevel level+info", a line at a time.
class FfmpegLog {
public:
    // Returns what the user is shown of the line: errors only, without the level tag, as
    // FFmpeg prints them with "-loglevel error".
    std::optional<std::string> takeLine(std::string_view line);

    const FfmpegAccount &account() const { return m_account; }

private:
    void readInfo(std::string_view message);

    FfmpegAccount m_account;
    bool m_shown = true; // an untagged line goes on the message of the line before it
    bool m_inInput = false;
};

} // namespace encoder
