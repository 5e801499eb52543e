#include "commandline.h"

EncoderRequest parseCommandLine(const std::vector<std::string> &arguments)
{
    if (arguments.size() == 2 && arguments[0] == "-i" && !arguments[1].empty())
        return ProbeRequest{arguments[1]};

    if (arguments.size() >= 4 && arguments[0] == "-y" && arguments[1] == "-i") {
        ConversionRequest request;
        request.input = arguments[2];
        request.output = arguments.back();
        request.parameters.assign(arguments.begin() + 3, arguments.end() - 1);
        if (!request.input.empty() && !request.output.empty())
            return request;
    }
    return UsageRequest{};
}
