#include "dialog_fixture.h"

#include <gtest/gtest.h>

#include "key_table.h"
#include "tester_app.h"

extern CTesterApp theApp;

namespace testing_support {

namespace {

// Runs the steps one at a time from a thread timer: WM_TIMER is retrieved only when nothing else
// is queued.
class ModalScript {
public:
    explicit ModalScript(Steps steps) : m_steps(std::move(steps)) {
        s_running = this;
        m_timer = ::SetTimer(nullptr, 0, kInterval, &ModalScript::Tick);
    }
    ~ModalScript() {
        ::KillTimer(nullptr, m_timer);
        s_running = nullptr;
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    std::size_t StepsStarted() const { return m_next; }

private:
    static constexpr UINT kInterval = 10;

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript* script = s_running;
        if (script == nullptr || script->m_next >= script->m_steps.size()) return;
        // Advance first: a step may run a nested loop that ticks on.
        script->m_steps[script->m_next++]();
        // The next step is due a full interval after this one ended, not at once after a slow
        // step: the loop sees its queue empty in between, as between two of a person's inputs.
        if (s_running == script) script->m_timer = ::SetTimer(nullptr, script->m_timer, kInterval, &ModalScript::Tick);
    }

    static ModalScript* s_running;
    Steps m_steps;
    std::size_t m_next = 0;
    UINT_PTR m_timer = 0;
};

ModalScript* ModalScript::s_running = nullptr;

BOOL CALLBACK CollectVisible(HWND hWnd, LPARAM list) {
    if (::IsWindowVisible(hWnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hWnd);
    return TRUE;
}

MessageHook* g_sentHook = nullptr;
MessageHook* g_returnedHook = nullptr;

}  // namespace

BOOL RunTester(Steps steps) {
    const std::size_t ownSteps = steps.size();
    HWND hDlg = nullptr;
    steps.push_back([&] {
        hDlg = Dialog();
        ::PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    steps.push_back([] {
        if (HWND hLeft = Dialog()) {
            ADD_FAILURE() << "SC_CLOSE left the dialog open";
            ::DestroyWindow(hLeft);
        }
    });
    ModalScript script(std::move(steps));
    const BOOL result = theApp.InitInstance();
    EXPECT_GT(script.StepsStarted(), ownSteps) << "the dialog closed before the test's steps were done";
    EXPECT_FALSE(::IsWindow(hDlg)) << "the dialog window is left";
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    return result;
}

HWND Dialog() {
    CWnd* pMainWnd = AfxGetMainWnd();
    return pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr;
}

CKeyButton* Key(int id) {
    return dynamic_cast<CKeyButton*>(CWnd::FromHandlePermanent(::GetDlgItem(Dialog(), id)));
}

std::vector<int> LitKeys() {
    std::vector<int> lit;
    for (const KeyEntry& key : kKeys) {
        CKeyButton* button = Key(key.id);
        if (button == nullptr) {
            ADD_FAILURE() << "key " << key.id << " is not bound";
        } else if (button->Lit()) {
            lit.push_back(key.id);
        }
    }
    return lit;
}

LPARAM KeyParam(UINT scan, bool up, bool alt, bool extended) {
    DWORD value = 1u | (scan & 0xFFu) << 16;
    if (extended) value |= 1u << 24;
    if (alt) value |= 1u << 29;
    if (up) value |= 3u << 30;
    return static_cast<LPARAM>(value);
}

void PostKey(HWND target, UINT message, UINT vk, LPARAM keyParam) {
    ::PostMessageA(target, message, vk, keyParam);
}

void PostKey(const KeyFacts& key, bool up, bool sys) {
    const UINT message = sys ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
    PostKey(Dialog(), message, key.virtualKey, KeyParam(key.scan, up, sys, key.extended));
}

void PressCheckRelease(Steps& steps, const KeyFacts& key, bool sys, Step held, Step released) {
    steps.push_back([key, sys] { PostKey(key, false, sys); });
    steps.push_back([key, sys, held = std::move(held)] {
        held();
        PostKey(key, true, sys);
    });
    steps.push_back(std::move(released));
}

const KeyFacts* ModifierAt(UINT scan, bool extended) {
    for (const KeyFacts& key : kModifiers) {
        if (key.scan == scan && key.extended == extended) return &key;
    }
    return nullptr;
}

const KeyFacts* KeyWithCode(WPARAM virtualKey) {
    for (const KeyFacts& key : kCodedKeys) {
        if (key.virtualKey == virtualKey) return &key;
    }
    return nullptr;
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

std::vector<HWND> VisibleThreadWindows() {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindAboutBox() {
    for (HWND hWnd : VisibleThreadWindows()) {
        if (hWnd != Dialog() && Text(hWnd) == "About") return hWnd;
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

}  // namespace testing_support
