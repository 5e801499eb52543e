#pragma once

// The encoder writes each output under this name beside the target and renames it into place
// only on success; whoever kills an encoder removes what it left.
namespace conversion {

inline constexpr char PartialOutputSuffix[] = ".part";

} // namespace conversion
