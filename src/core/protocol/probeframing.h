#pragma once

#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

// One encoder run probing several inputs writes each input's report, or the line saying why it
// could not be read, as "Probe <number> <bytes>\n" and then exactly that many bytes: a path may
// hold any text, so no line of a report can mark where the next one begins.
namespace protocol {

// A report longer than this is no report of ours; its head holds all its reader needs.
inline constexpr std::size_t MaxProbeReportBytes = std::size_t(1) << 20;

inline std::string probeFrameHeader(std::size_t number, std::size_t bytes)
{
    return "Probe " + std::to_string(number) + " " + std::to_string(bytes) + "\n";
}

// Takes the framed reports off the front of a run's output, which may arrive cut anywhere.
class ProbeFrameReader {
public:
    // Calls handleReport(number, report) for each report the bytes complete. Once the output
    // turns out to be no framing of ours nothing more is read: see malformed().
    template <typename Handler> void feed(std::string_view bytes, Handler &&handleReport)
    {
        if (malformed_)
            return;
        pending_.append(bytes);
        std::size_t at = 0;
        while (!malformed_) {
            const std::size_t lineEnd = pending_.find('\n', at);
            if (lineEnd == std::string::npos) {
                malformed_ = pending_.size() - at > LongestHeader;
                break;
            }
            std::size_t number = 0;
            std::size_t size = 0;
            if (!parseHeader(std::string_view(pending_).substr(at, lineEnd - at), number, size)) {
                malformed_ = true;
                break;
            }
            if (pending_.size() - lineEnd - 1 < size)
                break;
            handleReport(number, std::string_view(pending_).substr(lineEnd + 1, size));
            at = lineEnd + 1 + size;
        }
        pending_.erase(0, at);
    }

    bool malformed() const { return malformed_; }

private:
    // "Probe", a blank, two numbers of 20 digits at most with a blank between.
    static constexpr std::size_t LongestHeader = 5 + 1 + 20 + 1 + 20;

    static bool parseNumber(std::string_view text, std::size_t &value)
    {
        if (text.empty() || text.size() > 20)
            return false;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return error == std::errc() && end == text.data() + text.size();
    }

    static bool parseHeader(std::string_view line, std::size_t &number, std::size_t &size)
    {
        constexpr std::string_view word = "Probe ";
        if (line.substr(0, word.size()) != word)
            return false;
        line.remove_prefix(word.size());
        const std::size_t blank = line.find(' ');
        return blank != std::string_view::npos && parseNumber(line.substr(0, blank), number) &&
               parseNumber(line.substr(blank + 1), size) && size <= MaxProbeReportBytes;
    }

    std::string pending_;
    bool malformed_ = false;
};

} // namespace protocol
