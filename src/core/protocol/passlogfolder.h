#pragma once

// A Target Size conversion keeps its pass log in a temporary folder named with this, its
// encoder's process number and a unique ending, so that whoever kills the encoder can find it.
namespace protocol {

inline constexpr char PassLogFolderPrefix[] = "wmaspi-fit-";

} // namespace protocol
