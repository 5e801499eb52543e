#pragma once

#include <string>
#include <string_view>

namespace protocol {

// Splits a byte stream into lines; CR counts as a line end too, since FFmpeg ends its status
// lines with CR. A read may end anywhere, even inside a number: the unfinished tail waits for
// the next read.
class LineSplitter {
public:
    template <typename Handler> void feed(std::string_view bytes, Handler &&handleLine)
    {
        for (const char c : bytes) {
            if (c == '\n' || c == '\r') {
                if (!pending_.empty())
                    handleLine(std::string_view(pending_));
                pending_.clear();
            } else {
                pending_ += c;
            }
        }
    }

    template <typename Handler> void finish(Handler &&handleLine)
    {
        if (!pending_.empty())
            handleLine(std::string_view(pending_));
        pending_.clear();
    }

private:
    std::string pending_;
};

} // namespace protocol
