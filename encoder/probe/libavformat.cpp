#include "probe/libavformat.h"

#include "core/platform/sharedlibrary.h"

#include <optional>

namespace encoder {

namespace {

bool logSilenced = false;

struct Loaded {
    std::optional<Libav> functions;
    std::string error;
};

// The versions we were compiled against: another major version has another ABI.
std::string fileName(const char *name, int major)
{
    return "lib" + std::string(name) + ".so." + std::to_string(major);
}

class Resolver {
public:
    explicit Resolver(std::string *error) : m_error(error) {}

    bool open(const char *name, int major)
    {
        if (m_error->empty())
            m_library = platform::loadLibrary(fileName(name, major), m_error);
        return m_library != nullptr;
    }

    // The chain stops at the first miss, which error tells.
    template <typename Function> Resolver &operator()(const char *name, Function &function)
    {
        if (m_error->empty())
            function = reinterpret_cast<Function>(platform::librarySymbol(m_library, name, m_error));
        return *this;
    }

private:
    std::string *m_error;
    void *m_library = nullptr;
};

Loaded load()
{
    Libav f;
    std::string error;
    Resolver resolve(&error);
    // libavutil first: the others need it, and it tells best why they cannot load.
    if (resolve.open("avutil", LIBAVUTIL_VERSION_MAJOR))
        resolve("av_strerror", f.strerror)("av_get_media_type_string", f.mediaTypeString)(
            "av_get_pix_fmt_name", f.pixelFormatName)("av_display_rotation_get", f.displayRotation)(
            "av_channel_layout_default", f.channelLayoutDefault)("av_channel_layout_describe", f.channelLayoutDescribe)(
            "av_channel_layout_from_string",
            f.channelLayoutFromString)("av_channel_layout_uninit", f.channelLayoutUninit)("av_dict_get", f.dictGet)(
            "av_dict_set", f.dictSet)("av_dict_free", f.dictFree)("av_log_set_level", f.logSetLevel)(
            "av_strtod", f.strtod)("av_parse_time", f.parseTime)("av_parse_video_rate", f.parseVideoRate);
    if (resolve.open("avcodec", LIBAVCODEC_VERSION_MAJOR))
        resolve("avcodec_get_name", f.codecName)("avcodec_profile_name", f.profileName);
    if (resolve.open("avformat", LIBAVFORMAT_VERSION_MAJOR))
        resolve("avformat_open_input", f.openInput)("avformat_find_stream_info", f.findStreamInfo)(
            "avformat_close_input", f.closeInput)("avformat_query_codec", f.queryCodec)(
            "av_guess_format", f.guessFormat)("av_stream_get_side_data", f.streamSideData);
    if (!error.empty())
        return {std::nullopt, error};
    if (logSilenced)
        f.logSetLevel(AV_LOG_QUIET);
    return {f, {}};
}

const Loaded *current = nullptr;

const Loaded &loaded()
{
    static const Loaded once = load();
    current = &once;
    return once;
}

} // namespace

const Libav *libav()
{
    return loaded().functions ? &*loaded().functions : nullptr;
}

std::string libavError()
{
    return loaded().error;
}

void silenceLibavLog()
{
    logSilenced = true;
    if (current && current->functions)
        current->functions->logSetLevel(AV_LOG_QUIET);
}

} // namespace encoder
