#pragma once

// The encoder writes each output under this name beside the target and renames it into place
// only on success; whoever kills an encoder removes what it left.
namespace protocol {

inline constexpr char PartialOutputSuffix[] = ".part";

// For std::string and QString alike: both sides of the process name the file the same way.
template <typename Path>
Path partialOutputPath(const Path &output)
{
    return output + PartialOutputSuffix;
}

} // namespace protocol
