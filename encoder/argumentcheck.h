#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace encoder {

// Why FFmpeg, run with these arguments, would read or write a file besides the one input and
// the one output the encoder names: a second output, a second input, a switch or a filter that
// names a file, a muxer that writes files of its own. The arguments from `from` up to `to` are
// the profile's; the others are the encoder's, and only the last argument may be an output.
// Empty when FFmpeg would only convert.
std::optional<std::string> argumentsRefusal(const std::vector<std::string> &arguments, std::size_t from,
                                            std::size_t to);

// The filters of a graph as -vf, -af and -filter_complex take it that would reach a file: the
// name of the first one, empty when none does.
std::optional<std::string> fileFilter(const std::string &graph);

} // namespace encoder
