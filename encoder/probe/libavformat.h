#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <string>

namespace encoder {

// libavformat brings in every codec library FFmpeg was built with, and loading them takes
// about as long as FFmpeg's own start-up. Loaded on first use, which a conversion puts after
// FFmpeg has started, the two overlap instead of adding up.
struct Libavformat {
    decltype(&avformat_open_input) openInput = nullptr;
    decltype(&avformat_find_stream_info) findStreamInfo = nullptr;
    decltype(&avformat_close_input) closeInput = nullptr;
    decltype(&av_guess_format) guessFormat = nullptr;
    decltype(&avformat_query_codec) queryCodec = nullptr;
    decltype(&avcodec_get_name) codecName = nullptr;
    decltype(&avcodec_profile_name) profileName = nullptr;
    decltype(&av_stream_get_side_data) streamSideData = nullptr;
};

// Loads the libraries on the first call; nullptr when they cannot be loaded.
const Libavformat *libavformat();
// Why libavformat() gave nullptr.
std::string libavformatError();

} // namespace encoder
