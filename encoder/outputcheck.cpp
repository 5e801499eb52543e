#include "outputcheck.h"

#include "conversionplan.h"
#include "decimaltext.h"
#include "mediainfo.h"

#include <filesystem>

std::optional<std::string> outputProblem(const std::string &path, std::optional<double> expectedSeconds)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return std::string("FFmpeg wrote no output");
    if (size == 0)
        return std::string("FFmpeg wrote an empty output");

    const MediaProbe probe = probeMedia(path);
    if (!probe.info)
        return "The output cannot be read back: " + probe.error;
    if (!expectedSeconds)
        return std::nullopt;
    const auto actual = probe.info->durationSeconds;
    if (!actual)
        return std::string("The output's duration cannot be read back");
    if (!closeEnough(*actual, *expectedSeconds)) {
        return "The output lasts " + fixedDecimal(*actual, 2) + " s instead of " + fixedDecimal(*expectedSeconds, 2)
            + " s; the input may be damaged";
    }
    return std::nullopt;
}
