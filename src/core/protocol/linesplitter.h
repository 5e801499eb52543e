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
                if (!m_pending.empty())
                    handleLine(std::string_view(m_pending));
                m_pending.clear();
            } else {
                m_pending += c;
            }
        }
    }

    template <typename Handler> void finish(Handler &&handleLine)
    {
        if (!m_pending.empty())
            handleLine(std::string_view(m_pending));
        m_pending.clear();
    }

private:
    std::string m_pending;
};

} // namespace protocol
