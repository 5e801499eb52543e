#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The encoder writes each output under this name beside the target and renames it into place
// only on success; whoever kills an encoder removes what it left.
namespace protocol {

inline constexpr char PartialOutputSuffix[] = ".part";
// The longest file name, in bytes, that the file systems we write to take.
inline constexpr std::size_t LongestFileName = 255;

// An output whose name leaves no room for the suffix is written under a shorter name in the
// same folder: its beginning, cut where a character begins, and a hash of the whole name, so
// that two long names that begin alike still differ.
inline std::string partialOutputPath(const std::string &output)
{
    const std::size_t slash = output.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t suffixLength = sizeof(PartialOutputSuffix) - 1;
    if (output.size() - nameStart + suffixLength <= LongestFileName)
        return output + PartialOutputSuffix;

    std::uint32_t hash = 2166136261u; // FNV-1a
    for (std::size_t i = nameStart; i < output.size(); ++i)
        hash = (hash ^ static_cast<unsigned char>(output[i])) * 16777619u;
    char hashText[10];
    std::snprintf(hashText, sizeof hashText, "~%08x", unsigned(hash));
    std::size_t kept = LongestFileName - suffixLength - (sizeof hashText - 1);
    while (kept > 0 && (static_cast<unsigned char>(output[nameStart + kept]) & 0xC0) == 0x80)
        --kept;
    return output.substr(0, nameStart + kept) + hashText + PartialOutputSuffix;
}

} // namespace protocol
