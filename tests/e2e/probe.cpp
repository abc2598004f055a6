// Looks at the running tester from outside, for the end-to-end test. Run under Wine in the
// tester's own prefix and X display; prints one item a line.
//   probe keys      "window" and "client" rectangles of the main dialog, then per child window
//                   "key ID" with its window rectangle and its client rectangle, and "edge CX CY"
//   probe windows   every visible top-level window: class|title|rectangle|foreground
//   probe keysyms   per panel key "modifier ID KEYSYM" or "key ID KEYSYM": the X keysym of the
//                   key that must light it (tests/keyboard.h)
// Rectangles are in screen coordinates: left top right bottom.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "keyboard.h"

namespace {

void PrintRect(const RECT& r) {
    std::printf(" %ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
}

RECT ClientOnScreen(HWND window) {
    RECT r;
    ::GetClientRect(window, &r);
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    ::OffsetRect(&r, origin.x, origin.y);
    return r;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    RECT r;
    ::GetWindowRect(child, &r);
    std::printf("key %d", ::GetDlgCtrlID(child));
    PrintRect(r);
    PrintRect(ClientOnScreen(child));
    std::printf("\n");
    return TRUE;
}

int Keys() {
    // The dialog shows once all its keys exist; before that the window is still being built.
    const HWND dialog = ::FindWindowA(nullptr, "ZENTAQ Tester");
    if (dialog == nullptr || !::IsWindowVisible(dialog)) return 1;
    RECT r;
    ::GetWindowRect(dialog, &r);
    std::printf("window");
    PrintRect(r);
    std::printf("\nclient");
    PrintRect(ClientOnScreen(dialog));
    std::printf("\nedge %d %d\n", ::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CYEDGE));
    ::EnumChildWindows(dialog, &PrintChild, 0);
    return 0;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
    if (!::IsWindowVisible(window)) return TRUE;
    char name[128] = {};
    char title[128] = {};
    ::GetClassNameA(window, name, sizeof name);
    ::GetWindowTextA(window, title, sizeof title);
    RECT r;
    ::GetWindowRect(window, &r);
    std::printf("%s|%s|%ld %ld %ld %ld|%s\n", name, title, r.left, r.top, r.right, r.bottom,
                window == ::GetForegroundWindow() ? "foreground" : "");
    return TRUE;
}

int Keysyms() {
    for (const testing_support::KeyFacts& key : testing_support::kModifiers) std::printf("modifier %d %s\n", key.id, key.keysym);
    for (const testing_support::KeyFacts& key : testing_support::kCodedKeys) std::printf("key %d %s\n", key.id, key.keysym);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* command = argc == 2 ? argv[1] : "";
    if (std::strcmp(command, "keys") == 0) return Keys();
    if (std::strcmp(command, "windows") == 0) return ::EnumWindows(&PrintWindow, 0) ? 0 : 1;
    if (std::strcmp(command, "keysyms") == 0) return Keysyms();
    std::fprintf(stderr, "usage: probe keys|windows|keysyms\n");
    return 2;
}
