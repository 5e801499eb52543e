#pragma once

#include "commandline.h"
#include "ffmpeg/ffmpegrun.h"

#include <string>
#include <vector>

namespace encoder {

// Converts with FFmpeg into a part file and moves it over the output only when it checks
// out. Returns the exit status. Needs a QCoreApplication; runs its event loop.
int runConversion(const ConversionRequest &request);

// The verdict on FFmpeg's run into the part file, with the exit status it gives; for a run in
// several passes, on the last one.
int conclude(const ConversionRequest &request, const std::vector<std::string> &container,
             const FfmpegRun::Outcome &outcome);
// Says why the conversion failed and removes the part file it claimed; returns status.
int failure(const std::string &message, int status);

} // namespace encoder
