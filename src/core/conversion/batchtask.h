#pragma once

#include "core/conversion/batchrun.h"
#include "core/protocol/linesplitter.h"

#include <QElapsedTimer>

namespace conversion {

// One task while its encoder runs.
struct BatchRun::Task {
    int row = 0;
    QString input;
    QString output;
    double span = 0;
    double largestPosition = 0;
    int lineCount = 0;
    int percent = 0;
    QByteArray log;
    TrackReport tracks;
    protocol::LineSplitter lines;
    // Since when neither the position nor the output has moved.
    QElapsedTimer sinceProgress;
    qint64 partialSize = 0;
    bool stalled = false;
    int nameAttempts = 1;
    std::unique_ptr<platform::ChildProcess> encoder;
};

// How often a stall is looked for: often enough to catch it near its limit.
int stallCheckInterval(int stallLimitMs);

} // namespace conversion
