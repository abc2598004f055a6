// Start-up time of Windows programs under Wine, seen from the X server: from just before a
// program is spawned to the moment its window first shows its final image.
//   startup RUNS LAUNCHER... -- TITLE PROGRAM [TITLE PROGRAM...]
// Each program is started as LAUNCHER... PROGRAM and known by its window's TITLE. A first run of
// each, not counted, waits until its window has stayed unchanged for a second and keeps that
// image as the reference. The counted runs take the programs in turn, so that whatever else the
// machine is doing weighs on all of them alike: spawn, poll for the window (first map) and then
// its image until it equals the reference (complete paint), kill the process. Prints each run
// and the medians in milliseconds.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "xscreen.h"

namespace {

Display* g_display = nullptr;

struct Shot {
    int width = 0;
    int height = 0;
    std::vector<unsigned long> rgb;
};

struct Program {
    const char* title;
    std::vector<char*> command;
    Shot reference;
    std::vector<double> mapped, painted;
};

bool Take(Window window, Shot* shot) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(g_display, window, &attributes)) return false;
    XImage* image = XGetImage(g_display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    shot->width = attributes.width;
    shot->height = attributes.height;
    shot->rgb.resize(static_cast<size_t>(shot->width) * static_cast<size_t>(shot->height));
    for (int y = 0; y < shot->height; ++y) {
        unsigned long* row = &shot->rgb[static_cast<size_t>(y * shot->width)];
        if (image->bits_per_pixel == 32) {  // as on Xvfb at depth 24; XGetPixel is slow for whole windows
            const auto* pixels = reinterpret_cast<const std::uint32_t*>(image->data + y * image->bytes_per_line);
            for (int x = 0; x < shot->width; ++x) row[x] = pixels[x] & 0xFFFFFFu;
        } else {
            for (int x = 0; x < shot->width; ++x) row[x] = Rgb(image, x, y);
        }
    }
    XDestroyImage(image);
    return true;
}

bool Same(const Shot& a, const Shot& b) {
    return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

pid_t Spawn(Program& program) {
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(program.command[0], program.command.data());
        _exit(127);
    }
    return pid;
}

// Kills the program and waits until it and its window are gone.
void Stop(pid_t pid, const char* title) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    const double start = NowMs();
    while (FindWindowByTitle(g_display, title) != None && NowMs() - start < 10000) SleepMs(10);
}

bool TakeReference(Program& program) {
    const pid_t pid = Spawn(program);
    const double start = NowMs();
    Window window = None;
    Shot shot;
    int unchanged = 0;
    while (unchanged < 10 && NowMs() - start < 60000) {
        SleepMs(100);
        if (window == None) window = FindWindowByTitle(g_display, program.title);
        if (window == None || !Take(window, &shot)) continue;
        unchanged = Same(shot, program.reference) ? unchanged + 1 : 0;
        program.reference = shot;
    }
    Stop(pid, program.title);
    return unchanged == 10;
}

bool Run(Program& program) {
    const double start = NowMs();
    const pid_t pid = Spawn(program);
    Window window = None;
    double mapMs = -1, paintMs = -1;
    Shot shot;
    while (NowMs() - start < 30000) {
        if (window == None) {
            window = FindWindowByTitle(g_display, program.title);
            if (window == None) {
                SleepMs(1);
                continue;
            }
            mapMs = NowMs() - start;
        }
        if (Take(window, &shot) && Same(shot, program.reference)) {
            paintMs = NowMs() - start;
            break;
        }
        // Each read-back of a whole window keeps the X server from the program for a moment.
        SleepMs(2);
    }
    Stop(pid, program.title);
    if (paintMs < 0) return false;
    std::printf("%-16s window mapped %6.1f ms, complete paint %6.1f ms\n", program.title, mapMs, paintMs);
    program.mapped.push_back(mapMs);
    program.painted.push_back(paintMs);
    return true;
}

void PrintSummary(const char* what, std::vector<double> ms) {
    const double median = SortedMedian(ms);
    std::printf("  %-15s median %6.1f ms  min %6.1f ms  max %6.1f ms  (n=%zu)\n", what, median, ms.front(),
                ms.back(), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
    int dashes = 2;
    while (dashes < argc && std::strcmp(argv[dashes], "--") != 0) ++dashes;
    if (argc < 5 || dashes == 2 || dashes >= argc || (argc - dashes - 1) % 2 != 0 || argc - dashes - 1 < 2) {
        std::fprintf(stderr, "usage: startup RUNS LAUNCHER... -- TITLE PROGRAM [TITLE PROGRAM...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<Program> programs;
    for (int i = dashes + 1; i < argc; i += 2) {
        Program program;
        program.title = argv[i];
        program.command.assign(argv + 2, argv + dashes);
        program.command.push_back(argv[i + 1]);
        program.command.push_back(nullptr);
        programs.push_back(program);
    }
    g_display = XOpenDisplay(nullptr);
    if (g_display == nullptr) {
        std::fprintf(stderr, "startup: no X display\n");
        return 1;
    }
    XSetErrorHandler(&IgnoreXError);

    for (Program& program : programs) {
        if (!TakeReference(program)) {
            std::fprintf(stderr, "startup: window \"%s\" did not settle within 60 s\n", program.title);
            return 1;
        }
        std::printf("reference image of \"%s\": %dx%d\n", program.title, program.reference.width,
                    program.reference.height);
    }
    for (int run = 1; run <= runs; ++run) {
        for (Program& program : programs) {
            // Every run starts alike: the last one's process is gone, and so is Wine's desktop
            // process unless something else keeps it.
            SleepMs(1000);
            if (!Run(program)) {
                std::fprintf(stderr, "startup: \"%s\" never showed its reference image\n", program.title);
                return 1;
            }
        }
    }
    for (const Program& program : programs) {
        std::printf("%s:\n", program.title);
        PrintSummary("window mapped", program.mapped);
        PrintSummary("complete paint", program.painted);
    }
    XCloseDisplay(g_display);
    return 0;
}
