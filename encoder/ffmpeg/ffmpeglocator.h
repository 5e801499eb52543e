#pragma once

#include <string>

namespace encoder {

// FFmpeg missing or not startable, told as a shell tells a program it cannot find.
inline constexpr int FfmpegMissingStatus = 127;

// FFmpeg shipped next to the encoder wins over the one on PATH. Empty when neither exists.
std::string locateFfmpeg();

} // namespace encoder
