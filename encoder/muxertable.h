#pragma once

#include <optional>
#include <string>

// The muxer libavformat guesses for a file of this name, from a table made from libavformat
// at build time; empty for a name the table cannot answer for.
std::optional<std::string> tabledMuxer(const std::string &path);
