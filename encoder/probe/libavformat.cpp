#include "probe/libavformat.h"

#include <QLibrary>

#include <optional>

namespace encoder {

namespace {

template <typename Function> bool resolve(QLibrary &library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

struct Loaded {
    std::optional<Libavformat> functions;
    std::string error;
};

Loaded load()
{
    // The versions we were compiled against: another major version has another ABI.
    QLibrary format(QStringLiteral("avformat"), LIBAVFORMAT_VERSION_MAJOR);
    QLibrary codec(QStringLiteral("avcodec"), LIBAVCODEC_VERSION_MAJOR);
    Libavformat functions;
    const bool resolved = resolve(format, "avformat_open_input", functions.openInput) &&
                          resolve(format, "avformat_find_stream_info", functions.findStreamInfo) &&
                          resolve(format, "avformat_close_input", functions.closeInput) &&
                          resolve(format, "avformat_query_codec", functions.queryCodec) &&
                          resolve(format, "av_guess_format", functions.guessFormat) &&
                          resolve(format, "av_stream_get_side_data", functions.streamSideData) &&
                          resolve(codec, "avcodec_get_name", functions.codecName) &&
                          resolve(codec, "avcodec_profile_name", functions.profileName);
    if (!resolved) {
        // The chain stops at the first miss: a resolved av_stream_get_side_data means libavcodec missed.
        const QLibrary &failed = functions.streamSideData ? codec : format;
        return {std::nullopt, failed.errorString().toStdString()};
    }
    // A QLibrary going out of scope leaves the library loaded, as we need.
    return {functions, {}};
}

const Loaded &loaded()
{
    static const Loaded once = load();
    return once;
}

} // namespace

const Libavformat *libavformat()
{
    return loaded().functions ? &*loaded().functions : nullptr;
}

std::string libavformatError()
{
    return loaded().error;
}

} // namespace encoder
