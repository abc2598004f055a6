#include "win32_queries.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace testing_support {

namespace {

BOOL CALLBACK Collect(HWND hWnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hWnd);
    return TRUE;
}

MessageHook* g_sentHook = nullptr;
MessageHook* g_returnedHook = nullptr;

}  // namespace

void PumpMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
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
    (returned ? g_returnedHook : g_sentHook) = this;
    m_hook = ::SetWindowsHookExA(returned ? WH_CALLWNDPROCRET : WH_CALLWNDPROC, returned ? &Returned : &Sent,
                                 nullptr, ::GetCurrentThreadId());
    EXPECT_NE(m_hook, nullptr);
}

MessageHook::~MessageHook() {
    ::UnhookWindowsHookEx(m_hook);
    (m_returned ? g_returnedHook : g_sentHook) = nullptr;
}

LRESULT CALLBACK MessageHook::Sent(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_sentHook != nullptr) g_sentHook->m_seen(call->hwnd, call->message, call->wParam, call->lParam);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MessageHook::Returned(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && g_returnedHook != nullptr) {
        g_returnedHook->m_seen(call->hwnd, call->message, call->wParam, call->lParam);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

HFONT CreateDialogFont() {
    HDC screen = ::GetDC(nullptr);
    const int height = -::MulDiv(8, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    return ::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
}

}  // namespace testing_support
