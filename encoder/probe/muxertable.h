#pragma once

#include "verdict/expectation.h"

#include <optional>
#include <string>

// The muxer libavformat guesses for a file of this name, from a table made from libavformat
// at build time; empty for a name the table cannot answer for.
std::optional<std::string> tabledMuxer(const std::string &path);

// The kinds a conversion into the muxer of this name keeps, from the same table; empty for a
// name no muxer has.
std::optional<MuxerKinds> tabledMuxerKinds(const std::string &muxer);
