#include "ffmpeg/ffmpeglocator.h"

#include "core/platform/plainfiles.h"

namespace encoder {

std::string locateFfmpeg()
{
    if (const std::string folder = platform::programFolder(); !folder.empty()) {
        const std::string beside = folder + "/ffmpeg";
        if (platform::isExecutableFile(beside))
            return beside;
    }
    return platform::findExecutable("ffmpeg");
}

} // namespace encoder
