#pragma once

#include "commandline.h"

#include <optional>
#include <string>

namespace encoder {

// The part file is ours from before FFmpeg opens it until the process ends, so no other run
// writes it meanwhile, and none takes a name that is ours. Empty when claimed; else the exit
// status of a run that must not convert.
std::optional<int> claimPart(const ConversionRequest &request);

// Moves the part file over the output; returns the exit status.
int keepPart(const ConversionRequest &request);

// Says why the conversion failed and removes the part file it claimed; returns status.
int failure(const std::string &message, int status);

// Removes the part file, if this process claimed one and has not kept it.
void discardPart();

} // namespace encoder
