#pragma once

#include "probe/mediainfo.h"
#include "shape/shapegeometry.h"

#include <string>
#include <vector>

namespace encoder {

// The FFmpeg filters that give the picture its shape: scale, setsar and pad, or setdar alone.
std::string shapeFilter(const PictureShape &shape);

// One line for the task's log: what the picture was, how it is shown, what it is made.
std::string shapeLine(const StreamInfo &video, const PictureShape &shape);

// Adds the filter at the end of the profile's own video filter, or as the video filter: FFmpeg
// uses only the last -vf, so there must be one chain.
void appendVideoFilter(std::vector<std::string> &parameters, const std::string &filter);

} // namespace encoder
