#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace encoder {

// A switch of ours and what reads its value: false when the value means nothing to it.
using SwitchReader = std::pair<std::string, std::function<bool(const std::string &)>>;

// Takes each of these switches and its value out of the switches meant for FFmpeg, in order, so
// that the last of each counts. False when one has no value or its reader refuses the value.
bool takeOwnSwitches(std::vector<std::string> &parameters, const std::vector<SwitchReader> &readers);

} // namespace encoder
