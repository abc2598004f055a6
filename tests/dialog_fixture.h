// What the tests of the running program share: the program's own InitInstance run with steps
// acting on its dialog from inside the modal loop, pressing keys, reading the lamps, the
// children of a window and a message hook.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "key_button.h"
#include "keyboard.h"

namespace testing_support {

// One step runs each time the modal loop finds its queue empty, so it sees the effects of
// everything the steps before it posted, painted ones included.
using Step = std::function<void()>;
using Steps = std::vector<Step>;

// Runs the program's InitInstance with `steps` acting on the dialog, then closes it through the
// system menu's Close command, and checks that this ended the run and destroyed the dialog.
// Returns what InitInstance returned.
BOOL RunTester(Steps steps);

// The running main dialog, or nullptr.
HWND Dialog();

// The key button bound to dialog item `id`, or nullptr.
CKeyButton* Key(int id);

// The ids of the keys whose lamp is lit, in id order.
std::vector<int> LitKeys();

// The second parameter of a key message as the system builds it.
LPARAM KeyParam(UINT scan, bool up, bool alt = false, bool extended = false);

void PostKey(HWND target, UINT message, UINT vk, LPARAM keyParam);
// Posts `key` down or up to the dialog, as a system key (Alt held) if `sys`.
void PostKey(const KeyFacts& key, bool up, bool sys = false);

// Adds the steps of one press: `key` goes down, then `held` runs and the key goes up, then
// `released` runs.
void PressCheckRelease(Steps& steps, const KeyFacts& key, bool sys, Step held, Step released);

// The keys the tests press: a modifier, or another key of the panel, with these codes; or nullptr.
const KeyFacts* ModifierAt(UINT scan, bool extended);
const KeyFacts* KeyWithCode(WPARAM virtualKey);

std::string Text(HWND hWnd);
std::vector<HWND> Children(HWND hWnd);
std::vector<HWND> VisibleThreadWindows();
HWND FindAboutBox();

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
    static LRESULT CALLBACK Sent(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK Returned(int code, WPARAM wParam, LPARAM lParam);

    Seen m_seen;
    bool m_returned;
    HHOOK m_hook;
};

}  // namespace testing_support
