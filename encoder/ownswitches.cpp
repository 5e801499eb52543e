#include "ownswitches.h"

#include <algorithm>

namespace encoder {

bool takeOwnSwitches(std::vector<std::string> &parameters, const std::vector<SwitchReader> &readers)
{
    for (auto at = parameters.begin(); at != parameters.end();) {
        const auto reader =
            std::find_if(readers.begin(), readers.end(), [&at](const auto &entry) { return entry.first == *at; });
        if (reader == readers.end()) {
            ++at;
            continue;
        }
        if (std::next(at) == parameters.end() || !reader->second(*std::next(at)))
            return false;
        at = parameters.erase(at, std::next(at, 2));
    }
    return true;
}

} // namespace encoder
