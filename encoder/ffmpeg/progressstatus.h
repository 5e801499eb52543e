#pragma once

#include "core/protocol/linesplitter.h"

#include <optional>
#include <string>
#include <string_view>

namespace encoder {

// Where one FFmpeg run lies on the caller's bar, which divides our time by the output's length:
// each pass of a two-pass conversion climbs over its own half, so that both make one climb.
struct ProgressShare {
    double from = 0;
    double scale = 1;
    std::optional<double> upTo; // a time the run never shows past
};

// Turns FFmpeg's -progress blocks into the one-line status the window reads:
// "frame=N fps=F size=NkB time=S bitrate=Bkbits/s speed=Xx " with S in seconds.
class ProgressStatus {
public:
    explicit ProgressStatus(ProgressShare share = {}) : m_share(share) {}

    // Feeds one "key=value" line; returns the new status line when the line ends a block.
    std::optional<std::string> takeLine(std::string_view line);

    // The latest status, or the starting one before FFmpeg has reported.
    std::string statusLine() const;
    // How far FFmpeg's output has got, whatever its share of the bar.
    double seconds() const { return m_seconds; }
    // Whether FFmpeg has said it is done ("progress=end"), which it does only on a finished run.
    bool ended() const { return m_ended; }

private:
    ProgressShare m_share;
    std::string m_frame = "0";
    std::string m_fps = "0.00";
    long long m_totalBytes = 0;
    double m_seconds = 0;
    std::string m_bitRate = "N/A";
    std::string m_speed = "N/A";
    bool m_ended = false;
};

using protocol::LineSplitter;

} // namespace encoder
