#include "probe/muxertable.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace encoder {

namespace {

struct Entry {
    std::string_view extension;
    std::string_view muxer;
};

constexpr Entry Table[] = {
#include "muxertable.inc"
};

struct KindsEntry {
    std::string_view muxer;
    MuxerKinds kinds;
};

constexpr KindsEntry KindsTable[] = {
#include "muxerkinds.inc"
};

} // namespace

std::optional<std::string> tabledMuxer(const std::string &path)
{
    // A numbered name ("frame%03d.png") makes libavformat pick an image sequence muxer.
    if (path.find('%') != std::string::npos)
        return std::nullopt;
    // As av_match_ext reads it: whatever follows the last dot, case aside.
    const auto dot = path.rfind('.');
    if (dot == std::string::npos)
        return std::nullopt;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto found = std::find_if(std::begin(Table), std::end(Table),
                                    [&extension](const Entry &entry) { return entry.extension == extension; });
    if (found == std::end(Table))
        return std::nullopt;
    return std::string(found->muxer);
}

std::optional<MuxerKinds> tabledMuxerKinds(const std::string &muxer)
{
    const auto found = std::find_if(std::begin(KindsTable), std::end(KindsTable),
                                    [&muxer](const KindsEntry &entry) { return entry.muxer == muxer; });
    if (found == std::end(KindsTable))
        return std::nullopt;
    return found->kinds;
}

} // namespace encoder
