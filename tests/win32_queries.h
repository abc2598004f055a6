// What the tests ask of windows through Win32: texts, children, the windows open, how a control
// was built, the messages a window is sent.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Whether the tests run under Wine rather than on Windows: the one question behind every
// expectation that holds only there, each saying why.
bool UnderWine();

std::string Text(HWND hWnd);
std::vector<HWND> Children(HWND hWnd);
// This thread's top-level windows, the visible ones only unless told.
std::vector<HWND> ThreadWindows(bool visibleOnly = true);
// The one of them with the text `title`, or nullptr.
HWND ThreadWindowTitled(const std::string& title, bool visibleOnly = true);

// A child window as the dialog manager must build it from its template: the class, id, text
// (unless nullptr), style and extended style, and the rectangle in dialog units (the size left
// out where `cx` is 0).
struct Control {
    const char* className;
    int id;
    const char* text;
    int x, y, cx, cy;
    DWORD style, exStyle;
};
void ExpectControl(HWND hDlg, HWND hChild, const Control& control);

// Shows each message sent to a window of this thread to `seen`, before its window procedure gets
// it or, with `returned`, after; until the object goes. One of each kind at a time.
class MessageHook {
public:
    using Seen = std::function<void(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)>;
    explicit MessageHook(Seen seen, bool returned = false);
    ~MessageHook();
    MessageHook(const MessageHook&) = delete;
    MessageHook& operator=(const MessageHook&) = delete;

private:
    Seen m_seen;
    bool m_returned;
    HHOOK m_hook;
};

}  // namespace testing_support
