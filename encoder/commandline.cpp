#include "commandline.h"

#include "ownswitches.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace encoder {

namespace {
// "-i A -i B ...": nothing else between the inputs.
std::optional<ProbeManyRequest> probeManyRequest(const std::vector<std::string> &arguments)
{
    if (arguments.size() < 4 || arguments.size() % 2 != 0)
        return std::nullopt;
    ProbeManyRequest request;
    for (std::size_t i = 0; i < arguments.size(); i += 2) {
        if (arguments[i] != "-i" || arguments[i + 1].empty())
            return std::nullopt;
        request.inputs.push_back(arguments[i + 1]);
    }
    return request;
}

// Takes "-fit SIZE" out of the switches meant for FFmpeg; the last one counts, as FFmpeg's do.
void takeFit(ConversionRequest &request)
{
    auto &parameters = request.parameters;
    for (;;) {
        const auto at = std::find(parameters.begin(), parameters.end(), "-fit");
        if (at == parameters.end())
            return;
        const bool valued = std::next(at) != parameters.end();
        request.fit = valued ? *std::next(at) : std::string();
        parameters.erase(at, valued ? std::next(at, 2) : std::next(at));
    }
}

// Takes every copy of a switch without a value out; true when there was one.
bool takeFlag(std::vector<std::string> &parameters, const std::string &flag)
{
    const auto end = std::remove(parameters.begin(), parameters.end(), flag);
    const bool taken = end != parameters.end();
    parameters.erase(end, parameters.end());
    return taken;
}

// Takes "-length SECONDS" out as takeFit does -fit; a value that is no length leaves none.
void takeLength(ConversionRequest &request)
{
    auto &parameters = request.parameters;
    for (;;) {
        const auto at = std::find(parameters.begin(), parameters.end(), "-length");
        if (at == parameters.end())
            return;
        request.plannedSeconds.reset();
        if (std::next(at) == parameters.end()) {
            parameters.erase(at);
            return;
        }
        const std::string &text = *std::next(at);
        double seconds = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
        if (error == std::errc() && end == text.data() + text.size() && seconds > 0)
            request.plannedSeconds = seconds;
        parameters.erase(at, std::next(at, 2));
    }
}
} // namespace

EncoderRequest parseCommandLine(const std::vector<std::string> &arguments)
{
    if (arguments.size() == 2 && arguments[0] == "-i" && !arguments[1].empty())
        return ProbeRequest{arguments[1]};

    if (auto probes = probeManyRequest(arguments))
        return *probes;

    if (arguments.size() >= 4 && arguments[0] == "-y" && arguments[1] == "-i") {
        ConversionRequest request;
        request.input = arguments[2];
        request.output = arguments.back();
        request.parameters.assign(arguments.begin() + 3, arguments.end() - 1);
        takeFit(request);
        request.replaceExisting = !takeFlag(request.parameters, "-n");
        request.waitForGo = takeFlag(request.parameters, "-wait-for-go");
        takeLength(request);
        const bool tracksRead = takeTrackSwitches(request.parameters, request.tracks);
        const bool streamsRead = takeStreamSwitches(request.parameters, request.streams);
        const bool factsRead =
            takeOwnSwitches(request.parameters, {{"-source-facts", [&request](const std::string &facts) {
                                                      request.sourceFacts = facts;
                                                      return true;
                                                  }}});
        if (tracksRead && streamsRead && factsRead && !request.input.empty() && !request.output.empty())
            return request;
    }
    return UsageRequest{};
}

} // namespace encoder
