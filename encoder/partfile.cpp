#include "partfile.h"

#include "console.h"
#include "conversionplan.h"
#include "core/platform/outputclaim.h"
#include "core/protocol/exitstatus.h"

#include <filesystem>

namespace encoder {

namespace {

// One encoder converts one output: the claim on its part file is the process's own.
platform::OutputClaim &partClaim()
{
    static platform::OutputClaim claim;
    return claim;
}

} // namespace

std::optional<int> claimPart(const ConversionRequest &request)
{
    const std::string part = partPathFor(request.output);
    std::string error;
    switch (partClaim().claim(part, &error)) {
    case platform::OutputClaim::Outcome::Claimed:
        break;
    case platform::OutputClaim::Outcome::HeldElsewhere:
        printError("'" + request.output + "' is being converted by another run; it was not changed");
        return protocol::EncoderOutputTaken;
    case platform::OutputClaim::Outcome::Failed:
        printError("Cannot write '" + part + "': " + error);
        return 1;
    }
    std::error_code ignored;
    if (!request.replaceExisting && std::filesystem::exists(request.output, ignored)) {
        partClaim().discard();
        printError("'" + request.output + "' was written by another run meanwhile; it was not changed");
        return protocol::EncoderOutputTaken;
    }
    return std::nullopt;
}

int keepPart(const ConversionRequest &request)
{
    std::string error;
    if (!partClaim().moveInto(request.output, request.replaceExisting, &error)) {
        std::error_code ignored;
        const bool taken = !request.replaceExisting && std::filesystem::exists(request.output, ignored);
        return failure("Cannot write '" + request.output + "': " + error, taken ? protocol::EncoderOutputTaken : 1);
    }
    return protocol::EncoderSucceeded;
}

int failure(const std::string &message, int status)
{
    printError(message);
    // Only the file this conversion claimed goes: any other part file is another run's.
    partClaim().discard();
    return status;
}

void discardPart()
{
    partClaim().discard();
}

} // namespace encoder
