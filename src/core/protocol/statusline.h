#pragma once

#include <string>
#include <string_view>

// The line the encoder writes for every progress report, and the one field of it its reader
// uses: "frame=N fps=F size=NkB time=S bitrate=Bkbits/s speed=Xx " with S in seconds.
namespace protocol {

struct StatusFields {
    std::string frame;
    std::string fps;
    long long kilobytes = 0;
    std::string seconds; // a decimal number, "." as the decimal point
    std::string bitRate;
    std::string speed;
};

inline std::string statusLine(const StatusFields &fields)
{
    return "frame=" + fields.frame + " fps=" + fields.fps + " size=" + std::to_string(fields.kilobytes) +
           "kB time=" + fields.seconds + " bitrate=" + fields.bitRate + " speed=" + fields.speed + " ";
}

// The text after the first "time" and one more character, up to the next blank; nothing when
// there is no such text, as in FFmpeg's own banner lines and the lines its reader skips.
inline std::string_view timeField(std::string_view line)
{
    const std::size_t time = line.find("time");
    if (time == std::string_view::npos || line.size() < time + 5)
        return {};
    const std::string_view rest = line.substr(time + 5);
    const std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos || blank == 0)
        return {};
    return rest.substr(0, blank);
}

} // namespace protocol
