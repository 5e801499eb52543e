#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/display.h>
#include <libavutil/eval.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
}

#include <string>

namespace encoder {

// libavformat brings in every codec library FFmpeg was built with, and loading them takes
// about as long as FFmpeg's own start-up; even libavutil alone pulls in the video drivers'
// libraries. All three are loaded together on first use, which a conversion puts after FFmpeg
// has started, or never, so that the two overlap instead of adding up.
struct Libav {
    decltype(&avformat_open_input) openInput = nullptr;
    decltype(&avformat_find_stream_info) findStreamInfo = nullptr;
    decltype(&avformat_close_input) closeInput = nullptr;
    decltype(&av_guess_format) guessFormat = nullptr;
    decltype(&avformat_query_codec) queryCodec = nullptr;
    decltype(&av_stream_get_side_data) streamSideData = nullptr;
    decltype(&avcodec_get_name) codecName = nullptr;
    decltype(&avcodec_profile_name) profileName = nullptr;
    decltype(&av_strerror) strerror = nullptr;
    decltype(&av_get_media_type_string) mediaTypeString = nullptr;
    decltype(&av_get_pix_fmt_name) pixelFormatName = nullptr;
    decltype(&av_display_rotation_get) displayRotation = nullptr;
    decltype(&av_channel_layout_default) channelLayoutDefault = nullptr;
    decltype(&av_channel_layout_describe) channelLayoutDescribe = nullptr;
    decltype(&av_channel_layout_from_string) channelLayoutFromString = nullptr;
    decltype(&av_channel_layout_uninit) channelLayoutUninit = nullptr;
    decltype(&av_dict_get) dictGet = nullptr;
    decltype(&av_dict_set) dictSet = nullptr;
    decltype(&av_dict_free) dictFree = nullptr;
    decltype(&av_log_set_level) logSetLevel = nullptr;
    decltype(&av_strtod) strtod = nullptr;
    decltype(&av_parse_time) parseTime = nullptr;
    decltype(&av_parse_video_rate) parseVideoRate = nullptr;
};

// Loads the libraries on the first call; nullptr when they cannot be loaded.
const Libav *libav();
// Why libav() gave nullptr.
std::string libavError();

// libav's own messages would interleave with our report: they are silenced, now or when the
// libraries load.
void silenceLibavLog();

} // namespace encoder
