#include "win32_queries.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace testing_support {

namespace {

BOOL CALLBACK Collect(HWND hWnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hWnd);
    return TRUE;
}

const MessageHook::Seen* g_seen[2] = {};  // the sent messages' hook, the returned ones'

template <class Call, bool returned>
LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* c = reinterpret_cast<const Call*>(lParam);
    if (code == HC_ACTION && g_seen[returned] != nullptr) (*g_seen[returned])(c->hwnd, c->message, c->wParam, c->lParam);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool UnderWine() {
    static const bool wine = [] {
        const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
        return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

std::string Text(HWND hWnd) {
    char text[256] = {};
    ::GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

std::vector<HWND> Children(HWND hWnd) {
    std::vector<HWND> children;
    for (HWND h = ::GetWindow(hWnd, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
    return children;
}

std::vector<HWND> ThreadWindows(bool visibleOnly) {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&windows));
    if (visibleOnly) {
        windows.erase(std::remove_if(windows.begin(), windows.end(), [](HWND h) { return !::IsWindowVisible(h); }),
                      windows.end());
    }
    return windows;
}

HWND ThreadWindowTitled(const std::string& title, bool visibleOnly) {
    for (HWND hWnd : ThreadWindows(visibleOnly)) {
        if (Text(hWnd) == title) return hWnd;
    }
    return nullptr;
}

void ExpectControl(HWND hDlg, HWND hChild, const Control& control) {
    SCOPED_TRACE("control " + std::to_string(control.id) + " at " + std::to_string(control.x) + "," +
                 std::to_string(control.y));
    char className[16] = {};
    ::GetClassNameA(hChild, className, sizeof className);
    EXPECT_STRCASEEQ(className, control.className);
    EXPECT_EQ(::GetDlgCtrlID(hChild), control.id);
    if (control.text != nullptr) {
        EXPECT_EQ(Text(hChild), control.text);
    }
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(hChild, GWL_STYLE)), control.style);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(hChild, GWL_EXSTYLE)), control.exStyle);
    // The dialog manager converts position and size separately: each rounds on its own.
    RECT units{control.x, control.y, control.cx, control.cy};
    ::MapDialogRect(hDlg, &units);
    RECT shown;
    ::GetWindowRect(hChild, &shown);
    ::MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_EQ(shown.left, units.left);
    EXPECT_EQ(shown.top, units.top);
    if (control.cx != 0) {
        EXPECT_EQ(shown.right - shown.left, units.right);
        EXPECT_EQ(shown.bottom - shown.top, units.bottom);
    }
}

MessageHook::MessageHook(Seen seen, bool returned) : m_seen(std::move(seen)), m_returned(returned) {
    g_seen[returned] = &m_seen;
    m_hook = ::SetWindowsHookExA(returned ? WH_CALLWNDPROCRET : WH_CALLWNDPROC,
                                 returned ? &Hook<CWPRETSTRUCT, true> : &Hook<CWPSTRUCT, false>, nullptr,
                                 ::GetCurrentThreadId());
    EXPECT_NE(m_hook, nullptr);
}

MessageHook::~MessageHook() {
    ::UnhookWindowsHookEx(m_hook);
    g_seen[m_returned] = nullptr;
}

}  // namespace testing_support
