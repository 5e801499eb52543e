#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct ProbeRequest {
    std::string input;
};

// Several inputs in one run, so that a batch pays for loading libavformat once.
struct ProbeManyRequest {
    std::vector<std::string> inputs;
};

struct ConversionRequest {
    std::string input;
    std::vector<std::string> parameters; // FFmpeg output switches from the profile
    std::string output;
};

struct UsageRequest {};

using EncoderRequest = std::variant<ProbeRequest, ProbeManyRequest, ConversionRequest, UsageRequest>;

// Arguments without the program name.
EncoderRequest parseCommandLine(const std::vector<std::string> &arguments);

inline constexpr std::string_view UsageText =
    "usage: wmaspi.dll -i <input> [-i <input>...]  |  wmaspi.dll -y -i <input> [ffmpeg options...] <output>";
