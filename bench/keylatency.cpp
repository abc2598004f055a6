// Key-to-screen latency of windows under X: presses the A key with XTest and reads back one pixel
// of the key's button until it turns green, then releases the key and reads until it is no longer
// green.
//   keylatency PRESSES TITLE [TITLE...]
// With several windows (which must not overlap) the presses go in blocks, the windows taking
// turns, so that whatever else the machine is doing weighs on all of them alike. Prints median,
// p95, min and max of both latencies in milliseconds for each window.
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "xscreen.h"

namespace {

const int kBlocks = 10;

Display* g_display = nullptr;
unsigned g_keycode = 0;
long g_reads = 0;
double g_readingMs = 0;  // time spent reading pixels back, for the read-back's average round trip

struct Target {
    const char* title = nullptr;
    Window window = None;
    int x = 0, y = 0;  // the pixel watched, in window coordinates
    std::vector<double> pressMs, releaseMs;
};

void Key(bool down) {
    XTestFakeKeyEvent(g_display, g_keycode, down ? True : False, CurrentTime);
    XFlush(g_display);
}

bool PixelIsGreen(const Target& target) {
    XImage* image = XGetImage(g_display, target.window, target.x, target.y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    ++g_reads;
    const bool green = IsGreen(Rgb(image, 0, 0));
    XDestroyImage(image);
    return green;
}

// Waits until the pixel is (or is no longer) green: the time since start in ms, or -1 after 2 s.
double WaitFor(const Target& target, bool green, double start) {
    const double first = NowMs();
    for (;;) {
        const bool now = PixelIsGreen(target);
        const double t = NowMs();
        if (now == green || t - start > 2000) {
            g_readingMs += t - first;
            return now == green ? t - start : -1;
        }
    }
}

// Gives the window the keyboard: a click on an empty spot near its bottom-left corner, since Wine
// activates a window on a click, not on an X focus change.
void Focus(const Target& target) {
    XWindowAttributes attributes;
    XGetWindowAttributes(g_display, target.window, &attributes);
    XWarpPointer(g_display, None, target.window, 0, 0, 0, 0, 10, attributes.height - 10);
    XTestFakeButtonEvent(g_display, 1, True, CurrentTime);
    XTestFakeButtonEvent(g_display, 1, False, CurrentTime);
    XSync(g_display, False);
    SleepMs(300);
}

// The pixels that turn green while the key is held are the key's face; the watched pixel is the
// face's top-left corner, clear of the label in the middle.
bool Calibrate(Target& target) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(g_display, target.window, &attributes)) return false;
    const unsigned width = static_cast<unsigned>(attributes.width);
    const unsigned height = static_cast<unsigned>(attributes.height);
    Focus(target);
    SleepMs(700);
    XImage* up = XGetImage(g_display, target.window, 0, 0, width, height, AllPlanes, ZPixmap);
    Key(true);
    SleepMs(500);
    XImage* down = XGetImage(g_display, target.window, 0, 0, width, height, AllPlanes, ZPixmap);
    Key(false);
    int left = attributes.width, top = attributes.height, right = -1, bottom = -1;
    for (int y = 0; up != nullptr && down != nullptr && y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            if (IsGreen(Rgb(down, x, y)) && !IsGreen(Rgb(up, x, y))) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (up != nullptr) XDestroyImage(up);
    if (down != nullptr) XDestroyImage(down);
    target.x = left + 2;
    target.y = top + 2;
    if (right < target.x || bottom < target.y || WaitFor(target, false, NowMs()) < 0) return false;
    std::printf("%s: window %dx%d, key face %d,%d-%d,%d, watching pixel %d,%d\n", target.title, attributes.width,
                attributes.height, left, top, right, bottom, target.x, target.y);
    return true;
}

// One press and release; false when the screen did not follow within 2 s.
bool Press(Target& target, bool record) {
    // Pauses between presses and hold times vary, always in the same order.
    SleepMs(20 + std::rand() % 40);
    const double start = NowMs();
    Key(true);
    const double pressed = WaitFor(target, true, start);
    SleepMs(5 + std::rand() % 20);
    const double releaseStart = NowMs();
    Key(false);
    const double released = pressed < 0 ? -1 : WaitFor(target, false, releaseStart);
    if (pressed < 0 || released < 0) return false;
    if (record) {
        target.pressMs.push_back(pressed);
        target.releaseMs.push_back(released);
    }
    return true;
}

void Print(const char* label, std::vector<double> ms) {
    const double median = SortedMedian(ms);
    const size_t n = ms.size();
    const double p95 = ms[std::min(n - 1, (n * 95 + 99) / 100 - 1)];  // nearest rank
    std::printf("%-16s median %.2f ms  p95 %.2f ms  min %.2f ms  max %.2f ms  (n=%zu)\n", label, median, p95,
                ms.front(), ms.back(), n);
}

int Fail(const char* title, const char* what) {
    std::fprintf(stderr, "keylatency: %s: %s\n", title, what);
    XAutoRepeatOn(g_display);
    XCloseDisplay(g_display);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: keylatency PRESSES TITLE [TITLE...]\n");
        return 2;
    }
    const int presses = std::atoi(argv[1]);
    std::vector<Target> targets;
    for (int i = 2; i < argc; ++i) {
        targets.emplace_back();
        targets.back().title = argv[i];
    }

    g_display = XOpenDisplay(nullptr);
    int event, error, major, minor;
    if (g_display == nullptr || !XTestQueryExtension(g_display, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "keylatency: no X display with the XTest extension\n");
        return 1;
    }
    XSetErrorHandler(&IgnoreXError);
    g_keycode = XKeysymToKeycode(g_display, XK_a);
    // No auto-repeat while a key is held: each press is one key-down and one key-up.
    XAutoRepeatOff(g_display);

    for (Target& target : targets) {
        const double start = NowMs();
        while ((target.window = FindWindowByTitle(g_display, target.title)) == None) {
            if (NowMs() - start > 60000) return Fail(target.title, "no such window");
            SleepMs(50);
        }
    }
    // The programs start together: let the last one finish showing (and activating) itself.
    SleepMs(1000);
    for (Target& target : targets) {
        int tries = 0;
        while (!Calibrate(target)) {
            if (++tries == 3) return Fail(target.title, "the key's button never turned green and back");
        }
    }

    std::srand(12345);
    for (int block = 0; block < kBlocks; ++block) {
        for (Target& target : targets) {
            Focus(target);
            // One press not counted: the first one after a focus change.
            if (!Press(target, false)) return Fail(target.title, "no change on screen within 2 s");
            const int count = presses * (block + 1) / kBlocks - presses * block / kBlocks;
            for (int i = 0; i < count; ++i) {
                if (!Press(target, true)) return Fail(target.title, "no change on screen within 2 s");
            }
        }
    }
    XAutoRepeatOn(g_display);
    XCloseDisplay(g_display);
    std::printf("one pixel read-back: %.0f us on average\n", g_readingMs * 1e3 / static_cast<double>(g_reads));
    for (const Target& target : targets) {
        std::printf("%s:\n", target.title);
        Print("press-to-green", target.pressMs);
        Print("release-to-clear", target.releaseMs);
    }
    return 0;
}
