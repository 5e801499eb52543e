// Stands in for an FFmpeg that says nothing for a while and then exits 0 without writing its
// output, as a stopped or confused FFmpeg may. "-silent SECONDS" sets the silence;
// "-ignore-term" makes it deaf to SIGTERM, like a hung FFmpeg.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>

int main(int argc, char *argv[])
{
    double seconds = 1.5;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "-silent" && i + 1 < argc)
            seconds = std::atof(argv[i + 1]);
        if (argument == "-ignore-term")
            std::signal(SIGTERM, SIG_IGN);
    }
    std::fputs("fake ffmpeg ready\n", stderr);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return 0;
}
