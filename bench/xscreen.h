// Small helpers shared by the benchmark tools: a monotonic clock, the median of a run, finding a
// Wine window by its title, and reading its pixels back.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

inline double NowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

inline void SleepMs(double ms) {
    timespec ts;
    ts.tv_sec = static_cast<time_t>(ms / 1e3);
    ts.tv_nsec = static_cast<long>((ms - static_cast<double>(ts.tv_sec) * 1e3) * 1e6);
    nanosleep(&ts, nullptr);
}

// Sorts `ms` (at least one value) and returns its median.
inline double SortedMedian(std::vector<double>& ms) {
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    return n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
}

// Windows come and go while we look (a killed program's window, Wine's own helpers): a request
// on a window that has just gone must not end the tool.
inline int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// A viewable top-level window with this title, or None. Without a window manager Wine's windows
// are direct children of the root.
inline Window FindWindowByTitle(Display* display, const char* title) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return None;
    Window found = None;
    for (unsigned i = count; i-- > 0 && found == None;) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name != nullptr) {
            if (std::strcmp(name, title) == 0) found = children[i];
            XFree(name);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

// The pixel's colour as 0xRRGGBB (24-bit TrueColor, as Xvfb runs here).
inline unsigned long Rgb(XImage* image, int x, int y) {
    return XGetPixel(image, x, y) & 0xFFFFFFul;
}

inline bool IsGreen(unsigned long rgb) {
    return rgb == 0x00FF00ul;
}
