#include "shape/shapefilter.h"

#include <cmath>
#include <cstdio>

namespace encoder {

namespace {

std::string size(double width, double height)
{
    return std::to_string(std::lround(width)) + "x" + std::to_string(std::lround(height));
}

bool isVideoFilterSwitch(const std::string &name)
{
    return name == "-vf" || name == "-filter:v" || name == "-filter:v:0";
}

} // namespace

std::string shapeFilter(const PictureShape &shape)
{
    if (shape.statedAspect) {
        // setdar reads a decimal as the nearest ratio of small numbers: 1.777778 is 16/9.
        char ratio[32];
        std::snprintf(ratio, sizeof ratio, "%.6f", *shape.statedAspect);
        return std::string("setdar=") + ratio;
    }
    std::string filter = "scale=" + std::to_string(shape.width) + ":" + std::to_string(shape.height) + ",setsar=1";
    if (shape.barred()) {
        // Even offsets keep the chroma of 4:2:0 in step with the picture.
        const int left = (shape.frameWidth - shape.width) / 4 * 2;
        const int top = (shape.frameHeight - shape.height) / 4 * 2;
        filter += ",pad=" + std::to_string(shape.frameWidth) + ":" + std::to_string(shape.frameHeight) + ":" +
                  std::to_string(left) + ":" + std::to_string(top) + ":black";
    }
    return filter;
}

std::string shapeLine(const StreamInfo &video, const PictureShape &shape)
{
    std::string line = "picture: " + size(video.width, video.height);
    if (video.rotation != 0)
        line += " turned " + std::to_string(video.rotation);
    line += ", shown " + size(shape.shown.width, shape.shown.height);
    if (shape.statedAspect)
        return line + " as stated";
    line += ", made " + size(shape.width, shape.height);
    if (shape.stretched)
        line += " stretched";
    if (shape.barred())
        line += " in " + size(shape.frameWidth, shape.frameHeight) + " with bars";
    return line;
}

void appendVideoFilter(std::vector<std::string> &parameters, const std::string &filter)
{
    for (auto at = parameters.rbegin(); at != parameters.rend(); ++at) {
        if (at != parameters.rbegin() && isVideoFilterSwitch(*at)) {
            std::string &chain = *std::prev(at);
            chain = chain.empty() ? filter : chain + "," + filter;
            return;
        }
    }
    parameters.insert(parameters.end(), {"-vf", filter});
}

} // namespace encoder
