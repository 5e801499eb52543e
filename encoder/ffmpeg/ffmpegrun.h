#pragma once

#include "ffmpeg/ffmpeglog.h"
#include "ffmpeg/progressstatus.h"

#include <chrono>
#include <string>
#include <vector>

namespace platform {
class StopSignals;
}

namespace encoder {

// Runs FFmpeg, relaying its progress as status lines (repeated while it is silent, so the
// window keeps hearing from us) and its error lines as they come, and keeps its account of
// what it read and wrote.
class FfmpegRun {
public:
    enum class Ending { Exited, Crashed, FailedToStart, Stopped };
    struct Outcome {
        Ending ending = Ending::Exited;
        int exitCode = 0;
        std::string startError;
        double reachedSeconds = 0; // the last position FFmpeg reported
        bool progressEnded = false;
        FfmpegAccount account = {};
    };

    FfmpegRun(const std::string &program, const std::vector<std::string> &arguments, ProgressShare share = {});

    // Runs FFmpeg to its end. A stop signal asks it to end, and kills it if it has not within the
    // grace period.
    Outcome run(platform::StopSignals &stops);

private:
    void relayProgress(const std::string &bytes);
    void relayErrors(const std::string &bytes);
    void relayLogLine(std::string_view line);
    void printStatus(const std::string &line);
    Outcome reached(Outcome outcome) const;

    std::string m_program;
    std::vector<std::string> m_arguments;
    ProgressStatus m_status;
    LineSplitter m_progressLines;
    LineSplitter m_errorLines;
    FfmpegLog m_log;
    std::chrono::steady_clock::time_point m_nextStatus; // when silence has the status line repeated
};

} // namespace encoder
