#pragma once

#include "ffmpeg/ffmpeglog.h"
#include "ffmpeg/progressstatus.h"

#include <QProcess>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

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
        QString startError;
        double reachedSeconds = 0; // the last position FFmpeg reported
        bool progressEnded = false;
        FfmpegAccount account = {};
    };

    FfmpegRun(const QString &program, const std::vector<std::string> &arguments,
              std::function<void(const Outcome &)> onEnded, ProgressShare share = {});

    // onEnded may be called from within start() when the program cannot be run at all.
    void start();
    // Asks FFmpeg to end and kills it if it has not within the grace period.
    void stop();

private:
    void relayProgress();
    void relayErrors();
    void relayLogLine(std::string_view line);
    void printStatus(const std::string &line);
    void end(const Outcome &outcome);

    QProcess m_process;
    QTimer m_heartbeat;
    QTimer m_killDeadline;
    ProgressStatus m_status;
    LineSplitter m_progressLines;
    LineSplitter m_errorLines;
    FfmpegLog m_log;
    std::function<void(const Outcome &)> m_onEnded;
    bool m_stopRequested = false;
    bool m_ended = false;
};

} // namespace encoder
