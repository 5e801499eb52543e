#pragma once

#include "commandline.h"
#include "probe/mediainfo.h"

#include <string>
#include <vector>

namespace encoder {

// Gives the picture the shape the request's box and stated aspect ask for: the filter goes to the
// end of the profile's video filter and one line to the error output. A profile that sizes or
// filters its picture itself (-s, -aspect, a filter graph), drops its video or copies it is left
// as it is.
void planConversionShape(ConversionRequest &request, const std::vector<std::string> &container,
                         const MediaProbe &probe);

// The only frame sizes the video encoder takes, empty when it takes any.
std::vector<VideoBox> fixedFrameSizes(const std::string &encoder);

} // namespace encoder
