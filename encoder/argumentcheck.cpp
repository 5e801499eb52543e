#include "argumentcheck.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string_view>

namespace encoder {

namespace {

using Names = std::set<std::string_view>;

// FFmpeg 5.1's own switches that take no value; every other switch takes the next argument,
// AVOptions included, and one FFmpeg does not know makes it fail before it opens anything.
const Names &valuelessSwitches()
{
    static const Names names = {"y",
                                "n",
                                "ignore_unknown",
                                "copy_unknown",
                                "recast_media",
                                "accurate_seek",
                                "benchmark",
                                "benchmark_all",
                                "stdin",
                                "dump",
                                "hex",
                                "re",
                                "copyts",
                                "start_at_zero",
                                "shortest",
                                "bitexact",
                                "xerror",
                                "copyinkf",
                                "auto_conversion_filters",
                                "stats",
                                "debug_ts",
                                "find_stream_info",
                                "vn",
                                "psnr",
                                "vstats",
                                "qphist",
                                "force_fps",
                                "an",
                                "sn",
                                "fix_sub_duration",
                                "dn",
                                "report",
                                "hide_banner"};
    return names;
}

// Those FFmpeg also takes as "-noNAME", without a value.
bool negatedBoolean(std::string_view name)
{
    static const Names booleans = {"ignore_unknown",
                                   "copy_unknown",
                                   "recast_media",
                                   "accurate_seek",
                                   "benchmark",
                                   "benchmark_all",
                                   "stdin",
                                   "dump",
                                   "hex",
                                   "re",
                                   "copyts",
                                   "start_at_zero",
                                   "shortest",
                                   "bitexact",
                                   "xerror",
                                   "copyinkf",
                                   "auto_conversion_filters",
                                   "stats",
                                   "debug_ts",
                                   "find_stream_info",
                                   "vn",
                                   "psnr",
                                   "qphist",
                                   "force_fps",
                                   "an",
                                   "sn",
                                   "fix_sub_duration",
                                   "dn",
                                   "hide_banner",
                                   "autorotate",
                                   "autoscale"};
    return name.size() > 2 && name.substr(0, 2) == "no" && booleans.count(name.substr(2));
}

// Switches that read or write a file, or a device, named in their value (or, without one, in
// the current folder: -report, -vstats).
const Names &fileSwitches()
{
    static const Names names = {"i",           "passlogfile",    "vstats",
                                "vstats_file", "attach",         "dump_attachment",
                                "sdp_file",    "filter_script",  "filter_complex_script",
                                "progress",    "report",         "pre",
                                "fpre",        "vpre",           "apre",
                                "spre",        "init_hw_device", "vaapi_device",
                                "qsv_device",  "hwaccel_device"};
    return names;
}

const Names &filterSwitches()
{
    static const Names names = {"vf", "af", "filter", "filter_complex", "lavfi"};
    return names;
}

// Muxers that write files beside the output, named by themselves or by their options.
const Names &manyFileMuxers()
{
    static const Names names = {"hls", "dash", "segment", "ssegment",  "stream_segment", "smoothstreaming",
                                "hds", "tee",  "fifo",    "fifo_test", "webm_chunk",     "webm_dash_manifest"};
    return names;
}

// Encoder switches that pass key=value lists on to the library, some of whose keys name files
// (x264's stats, qpfile and dump-yuv, x265's csv and analysis-save...).
const Names &libraryParameterSwitches()
{
    static const Names names = {"x264-params", "x264opts",     "x265-params",    "svtav1-params",
                                "aom-params",  "rav1e-params", "kvazaar-params", "xavs2-params"};
    return names;
}

bool namesFileKey(std::string key)
{
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    static const std::string_view marks[] = {"file", "csv", "stats", "analysis", "recon",   "dump",
                                             "dhdr", "cqm", "clbin", "lambda",   "scaling", "output"};
    return std::any_of(std::begin(marks), std::end(marks),
                       [&key](std::string_view mark) { return key.find(mark) != std::string::npos; });
}

// Filters that reach files (or load code, or listen on the network) whatever their options.
const Names &fileFilters()
{
    static const Names names = {"movie", "amovie",         "sendcmd",      "asendcmd",      "zmq",
                                "azmq",  "frei0r",         "frei0r_src",   "ladspa",        "lv2",
                                "asr",   "derain",         "dnn_classify", "dnn_detect",    "dnn_processing",
                                "sr",    "program_opencl", "openclsrc",    "vidstabdetect", "vidstabtransform"};
    return names;
}

// Filters with options that name files: those options, and how many options come before the
// first of them in the order unnamed values fill them.
struct FileOptions {
    Names keys;
    std::size_t unnamedBefore;
};

const std::map<std::string_view, FileOptions> &filtersWithFileOptions()
{
    static const std::map<std::string_view, FileOptions> filters = {
        {"ametadata", {{"file"}, 5}},
        {"metadata", {{"file"}, 5}},
        {"arnndn", {{"model", "m"}, 0}},
        {"firequalizer", {{"dumpfile"}, 9}},
        {"sofalizer", {{"sofa"}, 0}},
        {"flite", {{"textfile"}, 3}},
        {"ass", {{"filename", "f", "fontsdir"}, 0}},
        {"subtitles", {{"filename", "f", "fontsdir"}, 0}},
        {"cover_rect", {{"cover"}, 0}},
        {"find_rect", {{"object"}, 0}},
        {"curves", {{"psfile", "plot"}, 6}},
        {"selectivecolor", {{"psfile"}, 10}},
        {"deshake", {{"filename"}, 10}},
        {"drawtext", {{"fontfile", "textfile"}, 0}},
        {"fieldhint", {{"hint"}, 0}},
        {"libplacebo", {{"custom_shader_path"}, 0}},
        {"lut1d", {{"file"}, 0}},
        {"lut3d", {{"file"}, 0}},
        {"nnedi", {{"weights"}, 0}},
        {"paletteuse", {{"debug_kdtree"}, 6}},
        {"xfade_opencl", {{"source"}, 1}},
        {"psnr", {{"stats_file", "f"}, 0}},
        {"ssim", {{"stats_file", "f"}, 0}},
        {"vmafmotion", {{"stats_file"}, 0}},
        {"removelogo", {{"filename", "f"}, 0}},
        {"signature", {{"filename"}, 2}},
        {"cellauto", {{"filename", "f"}, 0}},
        {"life", {{"filename", "f"}, 0}},
        {"showcqt", {{"fontfile", "axisfile"}, 0}},
    };
    return filters;
}

// One token as libavfilter reads it: up to one of the terminators, '...' quoting and '\' escaping
// one character, blanks around it dropped.
std::string token(std::string_view text, std::size_t &at, std::string_view terminators)
{
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    std::string value;
    std::size_t kept = 0; // what a trailing blank may not be cut from: quoted or escaped text
    while (at < text.size() && terminators.find(text[at]) == std::string_view::npos) {
        if (text[at] == '\\' && at + 1 < text.size()) {
            value += text[at + 1];
            at += 2;
            kept = value.size();
        } else if (text[at] == '\'') {
            const std::size_t end = text.find('\'', at + 1);
            value += text.substr(at + 1, end == std::string_view::npos ? std::string_view::npos : end - at - 1);
            at = end == std::string_view::npos ? text.size() : end + 1;
            kept = value.size();
        } else {
            value += text[at++];
        }
    }
    while (value.size() > kept && std::isspace(static_cast<unsigned char>(value.back())))
        value.pop_back();
    return value;
}

void skipLabels(std::string_view graph, std::size_t &at)
{
    for (;;) {
        while (at < graph.size() && std::isspace(static_cast<unsigned char>(graph[at])))
            ++at;
        if (at >= graph.size() || graph[at] != '[')
            return;
        const std::size_t end = graph.find(']', at);
        at = end == std::string_view::npos ? graph.size() : end + 1;
    }
}

bool optionsNameFile(const FileOptions &file, std::string_view options)
{
    std::size_t at = 0;
    for (std::size_t unnamed = 0; at < options.size(); ++at) {
        std::size_t keyEnd = at;
        while (keyEnd < options.size() && (std::isalnum(static_cast<unsigned char>(options[keyEnd])) ||
                                           options[keyEnd] == '_' || options[keyEnd] == '-'))
            ++keyEnd;
        const bool named = keyEnd > at && keyEnd < options.size() && options[keyEnd] == '=';
        const std::string key(options.substr(at, keyEnd - at));
        at = named ? keyEnd + 1 : at;
        token(options, at, ":");
        if (named ? file.keys.count(key) > 0 : unnamed++ >= file.unnamedBefore)
            return true;
    }
    return false;
}

std::optional<std::string> switchRefusal(const std::string &name, const std::string &value, bool valued)
{
    const std::string shown = "-" + name + (valued ? " " + value : std::string());
    const std::string base = name.substr(0, name.find(':'));
    if (base == "i")
        return "The parameter \"" + shown + "\" gives FFmpeg another input";
    if (fileSwitches().count(base))
        return "The parameter \"" + shown + "\" names a file of its own";
    if (filterSwitches().count(base)) {
        if (const auto filter = fileFilter(value))
            return "The parameter \"" + shown + "\" has its filter " + *filter + " reach a file of its own";
    }
    if (base == "f" && manyFileMuxers().count(value))
        return "The parameter \"" + shown + "\" writes files beside the output";
    if (libraryParameterSwitches().count(base)) {
        std::size_t at = 0;
        while (at < value.size()) {
            const std::string pair = token(value, at, ":");
            if (namesFileKey(pair.substr(0, pair.find('='))))
                return "The parameter \"" + shown + "\" names a file of its own";
            ++at;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> fileFilter(const std::string &graph)
{
    std::size_t at = 0;
    while (at < graph.size()) {
        skipLabels(graph, at);
        const std::string name = token(graph, at, "=,;[");
        std::string options;
        if (at < graph.size() && graph[at] == '=') {
            ++at;
            options = token(graph, at, "[],;");
        }
        const std::string base = name.substr(0, name.find('@'));
        if (fileFilters().count(base))
            return base;
        const auto withFiles = filtersWithFileOptions().find(base);
        if (withFiles != filtersWithFileOptions().end() && optionsNameFile(withFiles->second, options))
            return base;
        skipLabels(graph, at);
        if (at < graph.size() && (graph[at] == ',' || graph[at] == ';'))
            ++at;
        else if (at < graph.size())
            ++at; // FFmpeg refuses the graph; nothing after this point can matter more
    }
    return std::nullopt;
}

std::optional<std::string> argumentsRefusal(const std::vector<std::string> &arguments, std::size_t from, std::size_t to)
{
    const auto profiles = [from, to](std::size_t index) { return index >= from && index < to; };
    std::string lastSwitch;
    for (std::size_t at = 0; at < arguments.size();) {
        const std::string &argument = arguments[at];
        if (argument == "--")
            return std::string("The parameter \"--\" makes FFmpeg take what follows for outputs");
        if (argument.size() < 2 || argument[0] != '-') {
            if (at + 1 == arguments.size())
                return std::nullopt;
            const std::string after = lastSwitch.empty() ? std::string() : " after \"" + lastSwitch + "\"";
            return "The parameters give FFmpeg another output, \"" + argument + "\"" + after;
        }
        const std::string name = argument.substr(1);
        const std::string base = name.substr(0, name.find(':'));
        const bool valued = !valuelessSwitches().count(base) && !negatedBoolean(base);
        const std::string value = valued && at + 1 < arguments.size() ? arguments[at + 1] : std::string();
        if (profiles(at)) {
            if (auto refusal = switchRefusal(name, value, valued))
                return refusal;
            lastSwitch = argument + (valued ? " " + value : std::string());
        } else {
            lastSwitch.clear();
        }
        at += valued ? 2 : 1;
    }
    return std::nullopt;
}

} // namespace encoder
