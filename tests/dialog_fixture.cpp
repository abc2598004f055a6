#include "dialog_fixture.h"

#include <algorithm>
#include <stdexcept>

#include "key_table.h"
#include "tester_app.h"

extern CTesterApp theApp;

namespace testing_support {

static_assert(key_message::kKeyDown == WM_KEYDOWN && key_message::kKeyUp == WM_KEYUP &&
              key_message::kSysKeyDown == WM_SYSKEYDOWN && key_message::kSysKeyUp == WM_SYSKEYUP);

namespace {

// WM_TIMER is retrieved only when nothing else is queued, paints included.
constexpr UINT kIdleInterval = 10;

struct Fibers {
    void* test = nullptr;      // the thread's first fiber
    void* program = nullptr;   // the one InitInstance runs on
    bool programRuns = false;  // the thread is the program's
    bool closing = false;      // the test is done and closes the dialog
    bool ended = false;
    BOOL result = TRUE;
    UINT_PTR timer = 0;
} g_fibers;

void CALLBACK Idle(HWND, UINT, UINT_PTR, DWORD) {
    // Only the program's loops hand back: a loop the test body runs itself goes on.
    if (!g_fibers.programRuns) return;
    g_fibers.programRuns = false;
    ::SwitchToFiber(g_fibers.test);
}

void CALLBACK RunProgram(void*) {
    g_fibers.result = theApp.InitInstance();
    g_fibers.ended = true;
    // A fiber's procedure that returns ends the thread.
    for (;;) {
        g_fibers.programRuns = false;
        ::SwitchToFiber(g_fibers.test);
    }
}

}  // namespace

void DialogTest::SetUp() {
    if (g_fibers.test == nullptr) g_fibers.test = ::ConvertThreadToFiber(nullptr);
    ASSERT_NE(g_fibers.test, nullptr);
    g_fibers.closing = g_fibers.ended = false;
    g_fibers.result = TRUE;
    g_fibers.program = ::CreateFiber(0, &RunProgram, nullptr);
    ASSERT_NE(g_fibers.program, nullptr);
    Settle();
    ASSERT_NE(Dialog(), nullptr) << "the dialog did not open";
}

void DialogTest::TearDown() {
    if (g_fibers.program == nullptr) return;
    HWND hDlg = Dialog();
    Close();
    EXPECT_FALSE(::IsWindow(hDlg)) << "the dialog window is left";
    EXPECT_FALSE(g_fibers.result) << "InitInstance asks for a message loop";
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    ::KillTimer(nullptr, g_fibers.timer);
    g_fibers.timer = 0;
    // A program that never ended keeps its fiber: its stack still holds the dialog.
    if (g_fibers.ended) ::DeleteFiber(g_fibers.program);
    g_fibers.program = nullptr;
}

void DialogTest::Close() {
    g_fibers.closing = true;
    if (g_fibers.ended || g_fibers.program == nullptr) return;
    ::PostMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Settle();
    if (!g_fibers.ended) {
        ADD_FAILURE() << "SC_CLOSE left the dialog open";
        ::DestroyWindow(Dialog());
        Settle();
    }
}

void DialogTest::Settle() {
    if (g_fibers.ended || g_fibers.program == nullptr) return;
    // Due a full interval after the test's last action, not at once: the loop sees its queue
    // empty in between, as between two of a person's inputs.
    g_fibers.timer = ::SetTimer(nullptr, g_fibers.timer, kIdleInterval, &Idle);
    g_fibers.programRuns = true;
    ::SwitchToFiber(g_fibers.program);
    // The rest of the test would act on windows that are gone.
    if (g_fibers.ended && !g_fibers.closing) throw std::runtime_error("the dialog closed before the test was done");
}

HWND DialogTest::Dialog() {
    CWnd* pMainWnd = AfxGetMainWnd();
    return pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr;
}

CKeyButton* DialogTest::Key(int id) {
    return dynamic_cast<CKeyButton*>(CWnd::FromHandlePermanent(::GetDlgItem(Dialog(), id)));
}

std::vector<int> DialogTest::LitKeys() {
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

void DialogTest::Post(const KeyFacts& key, bool up, bool sys, HWND target) {
    ::PostMessageA(target != nullptr ? target : Dialog(), key_message::Code(up, sys), key.virtualKey,
                   key_message::Param(key.scan, key.extended, up, sys));
}

bool DialogTest::ToFront() {
    ::SetForegroundWindow(Dialog());
    if (::GetForegroundWindow() != Dialog()) {
        // Windows lets a process take the front only in some cases, the latest input being its
        // own among them: a key that does nothing (0xFF has no meaning) gives it that.
        INPUT nothing[2] = {};
        for (INPUT& input : nothing) input.type = INPUT_KEYBOARD, input.ki.wVk = 0xFF;
        nothing[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, nothing, sizeof(INPUT));
        ::SetForegroundWindow(Dialog());
    }
    Settle();
    return ::GetForegroundWindow() == Dialog();
}

void DialogTest::Type(const std::vector<KeyFacts>& keys, bool up) {
    std::vector<INPUT> inputs;
    for (const KeyFacts& key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = static_cast<WORD>(key.scan);
        input.ki.dwFlags = KEYEVENTF_SCANCODE | (key.extended ? KEYEVENTF_EXTENDEDKEY : 0u) | (up ? KEYEVENTF_KEYUP : 0u);
        inputs.push_back(input);
    }
    if (up) std::reverse(inputs.begin(), inputs.end());
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::vector<int> DialogTest::SettledOn(const std::vector<int>& lit) {
    // The system hands input on to the queue in its own time.
    for (int tries = 0; tries < 100; ++tries) {
        Settle();
        if (LitKeys() == lit) break;
        ::Sleep(20);
    }
    return LitKeys();
}

void DialogTest::PressEach(const std::vector<Stroke>& strokes, const StrokeCheck& held, const StrokeCheck& released) {
    for (const Stroke& stroke : strokes) {
        SCOPED_TRACE("key " + std::to_string(stroke.key.id) + ": scan " + std::to_string(stroke.key.scan) +
                     (stroke.key.extended ? " extended" : "") + ", virtual key " +
                     std::to_string(stroke.key.virtualKey) + (stroke.sys ? ", system key" : ""));
        Post(stroke.key, false, stroke.sys);
        Settle();
        EXPECT_EQ(LitKeys(), stroke.lit) << "held";
        if (held) held(stroke);
        Post(stroke.key, true, stroke.sys);
        Settle();
        EXPECT_EQ(LitKeys(), std::vector<int>{}) << "released";
        if (released) released(stroke);
    }
}

}  // namespace testing_support
