// Stands in for an FFmpeg that says nothing for a while and then exits without writing its
// output, as a stopped or confused FFmpeg may. "-silent SECONDS" sets the silence;
// "-ignore-term" makes it deaf to SIGTERM, like a hung FFmpeg; "-exit CODE" sets the exit code;
// "-copy-from FILE" writes that file as its output (the last argument), like an FFmpeg that
// claims success for whatever it produced. "-log TEXT" writes TEXT to stderr as FFmpeg's log
// and "-reach SECONDS" ends its progress at that position, for an FFmpeg that gives an account
// of its run. "-abort" makes it crash once ready.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <thread>

int main(int argc, char *argv[])
{
    double seconds = 1.5;
    int exitCode = 0;
    const char *copyFrom = nullptr;
    const char *log = nullptr;
    const char *reach = nullptr;
    bool crash = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "-silent" && i + 1 < argc)
            seconds = std::atof(argv[i + 1]);
        if (argument == "-exit" && i + 1 < argc)
            exitCode = std::atoi(argv[i + 1]);
        if (argument == "-copy-from" && i + 1 < argc)
            copyFrom = argv[i + 1];
        if (argument == "-log" && i + 1 < argc)
            log = argv[i + 1];
        if (argument == "-reach" && i + 1 < argc)
            reach = argv[i + 1];
        if (argument == "-ignore-term")
            std::signal(SIGTERM, SIG_IGN);
        if (argument == "-abort")
            crash = true;
    }
    std::fputs("fake ffmpeg ready\n", stderr);
    if (crash)
        std::abort();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    if (copyFrom) {
        std::string_view output(argv[argc - 1]);
        if (output.starts_with("file:"))
            output.remove_prefix(5);
        std::error_code error;
        std::filesystem::copy_file(copyFrom, output, std::filesystem::copy_options::overwrite_existing, error);
    }
    if (log)
        std::fputs(log, stderr);
    if (reach)
        std::printf("out_time_us=%lld\nprogress=end\n", static_cast<long long>(std::atof(reach) * 1e6));
    return exitCode;
}
