// CKeyButton on real windows: style, repaint rule and the pixels it draws.
#include "key_button.h"

#include <gtest/gtest.h>

#include <string>

#include "pixels.h"

using testing_support::CaptureWindow;
using testing_support::Pixels;

namespace {

// Dispatches every message waiting for this thread, so pending paints and posted messages run.
void PumpMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr int kKeyId = 1001;

class CountingKeyButton : public CKeyButton {
public:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override {
        ++draws;
        lastState = lpDrawItemStruct->itemState;
        CKeyButton::DrawItem(lpDrawItemStruct);
    }
    int draws = 0;
    UINT lastState = 0;
};

// A plain top-level window standing in for the dialog: the framework reflects its WM_DRAWITEM.
class ParentWnd : public CWnd {};

class KeyButtonTest : public ::testing::Test {
protected:
    static constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_MULTILINE;

    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
        wc.lpszClassName = "ZqKeyButtonTestParent";
        ::RegisterClassA(&wc);
        // The dialog font the program uses: 8 point "MS Sans Serif".
        HDC screen = ::GetDC(nullptr);
        m_font = ::CreateFontA(-::MulDiv(8, ::GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                               FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH, "MS Sans Serif");
        ::ReleaseDC(nullptr, screen);
        m_hParent = ::CreateWindowExA(0, wc.lpszClassName, "parent", WS_POPUP | WS_VISIBLE, 40, 40, 320, 200,
                                      nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(m_hParent, nullptr);
        ASSERT_TRUE(m_parent.SubclassWindow(m_hParent));
    }

    void TearDown() override {
        ::DestroyWindow(m_hParent);
        ::DeleteObject(m_font);
        PumpMessages();
    }

    // A button like the dialog's keys (client edge), bound to `key` the way the dialog binds it.
    HWND CreateKey(const char* label, int width, int height, DWORD extraStyle = 0) {
        HWND hButton = ::CreateWindowExA(WS_EX_CLIENTEDGE, "BUTTON", label, kButtonStyle | extraStyle, 10, 10, width,
                                         height, m_hParent, reinterpret_cast<HMENU>(kKeyId), nullptr, nullptr);
        ::SendMessageA(hButton, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        CDataExchange dx(&m_parent, FALSE);
        DDX_Control(&dx, kKeyId, m_key);
        ::UpdateWindow(m_hParent);
        PumpMessages();
        return hButton;
    }

    // The inside of the frame, where the fill goes.
    static RECT Inner(const Pixels& p) {
        return RECT{::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CYEDGE),
                    p.Width() - ::GetSystemMetrics(SM_CXEDGE), p.Height() - ::GetSystemMetrics(SM_CYEDGE)};
    }

    SIZE Measure(const char* label) const {
        HDC dc = ::GetDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, m_font);
        SIZE size{};
        ::GetTextExtentPoint32A(dc, label, lstrlenA(label), &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(nullptr, dc);
        return size;
    }

    // The key as it should look; the label at `labelX`.
    Pixels Expected(int width, int height, bool lit, const char* label, int labelX) const {
        return testing_support::ReferenceKey(width, height, m_font, lit, std::wstring(label, label + lstrlenA(label)),
                                             labelX);
    }

    HFONT m_font = nullptr;
    HWND m_hParent = nullptr;
    ParentWnd m_parent;
    CountingKeyButton m_key;
};

TEST_F(KeyButtonTest, BindingAddsOwnerDrawAndKeepsEveryOtherStyleBit) {
    HWND hButton = CreateKey("A", 40, 40, WS_TABSTOP);
    const DWORD before = kButtonStyle | WS_TABSTOP;
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(hButton, GWL_STYLE)), before | BS_OWNERDRAW);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(hButton, GWL_EXSTYLE)) & WS_EX_CLIENTEDGE,
              static_cast<DWORD>(WS_EX_CLIENTEDGE));
    EXPECT_EQ(m_key.m_hWnd, hButton);
    EXPECT_EQ(CWnd::FromHandlePermanent(hButton), &m_key);

    // Binding again, or a second object for the same window, changes nothing.
    CDataExchange dx(&m_parent, FALSE);
    DDX_Control(&dx, kKeyId, m_key);
    CKeyButton other;
    EXPECT_FALSE(other.SubclassWindow(hButton));
    EXPECT_EQ(CWnd::FromHandlePermanent(hButton), &m_key);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(hButton, GWL_STYLE)), before | BS_OWNERDRAW);
}

TEST_F(KeyButtonTest, SetLampRepaintsOnceForEachChangeAndNeverForTheSameValues) {
    HWND hButton = CreateKey("A", 40, 40);
    m_key.draws = 0;
    auto drawsAfterPaint = [&] {
        ::UpdateWindow(hButton);
        PumpMessages();
        return m_key.draws;
    };

    m_key.SetLamp(0, 255, 0, 1);
    EXPECT_EQ(m_key.draws, 0) << "the repaint waits for the next paint cycle";
    m_key.SetLamp(0, 255, 0, 1);
    EXPECT_EQ(drawsAfterPaint(), 1);
    m_key.SetLamp(0, 255, 0, 1);  // auto-repeat
    EXPECT_EQ(drawsAfterPaint(), 1);
    m_key.SetLamp(0, 255, 0, 0);  // only the lit flag changes
    EXPECT_EQ(drawsAfterPaint(), 2);
    m_key.SetLamp(255, 0, 0, 0);  // colour change while unlit still counts as a change
    EXPECT_EQ(drawsAfterPaint(), 3);
    EXPECT_EQ(m_key.Red(), 255);
    EXPECT_EQ(m_key.Green(), 0);
    EXPECT_EQ(m_key.Lit(), 0);
}

TEST_F(KeyButtonTest, ALitKeyIsPushedFilledGreenWithItsLabelCentredByTruncatingHalves) {
    // An even inner width with an odd label width tells (l + r) / 2 - cx / 2 from (w - cx) / 2.
    const char* label = nullptr;
    for (const char* candidate : {"A", "B", "W", "M", "F1", "ESC", "TAB", "Ins"}) {
        if (Measure(candidate).cx % 2 == 1) {
            label = candidate;
            break;
        }
    }
    ASSERT_NE(label, nullptr) << "no odd-width label in this font";
    HWND hButton = CreateKey(label, 44, 36);
    m_key.SetLamp(0, 255, 0, 1);
    const Pixels shown = CaptureWindow(hButton);
    const RECT inner = Inner(shown);
    const int cx = Measure(label).cx;
    const int truncating = (inner.left + inner.right) / 2 - cx / 2;
    const int subtracting = (inner.left + inner.right - cx) / 2;
    ASSERT_NE(truncating, subtracting);

    const Pixels expected = Expected(shown.Width(), shown.Height(), true, label, truncating);
    const RECT all{0, 0, shown.Width(), shown.Height()};
    EXPECT_EQ(shown.FirstDifference(expected, all), "");
    EXPECT_NE(shown.FirstDifference(Expected(shown.Width(), shown.Height(), true, label, subtracting), all), "");
    EXPECT_NE(shown.FirstDifference(Expected(shown.Width(), shown.Height(), false, label, truncating), all), "")
        << "a lit frame must look pushed, not raised";

    // Inside the edge everything but the label's ink is pure green.
    const int area = (inner.right - inner.left) * (inner.bottom - inner.top);
    const int ink = area - shown.Count(kGreen, inner);
    EXPECT_GT(ink, 0);
    EXPECT_LT(ink, area / 3);
}

TEST_F(KeyButtonTest, AnUnlitKeyIsRaisedWithNoGreen) {
    HWND hButton = CreateKey("SHIFT", 60, 30);
    m_key.SetLamp(0, 255, 0, 1);
    ::UpdateWindow(hButton);
    m_key.SetLamp(0, 255, 0, 0);
    const Pixels shown = CaptureWindow(hButton);
    const RECT all{0, 0, shown.Width(), shown.Height()};
    const RECT inner = Inner(shown);
    const int x = (inner.left + inner.right) / 2 - Measure("SHIFT").cx / 2;
    EXPECT_EQ(shown.FirstDifference(Expected(shown.Width(), shown.Height(), false, "SHIFT", x), all), "");
    EXPECT_EQ(shown.Count(kGreen, all), 0);
}

TEST_F(KeyButtonTest, AKeyWithNoLabelDrawsOnlyItsFrameAndFill) {
    HWND hButton = CreateKey("", 30, 30);
    Pixels shown = CaptureWindow(hButton);
    const RECT all{0, 0, shown.Width(), shown.Height()};
    EXPECT_EQ(shown.FirstDifference(Expected(shown.Width(), shown.Height(), false, "", 0), all), "");

    m_key.SetLamp(0, 255, 0, 1);
    shown = CaptureWindow(hButton);
    EXPECT_EQ(shown.FirstDifference(Expected(shown.Width(), shown.Height(), true, "", 0), all), "");
    const RECT inner = Inner(shown);
    EXPECT_EQ(shown.Count(kGreen, inner), (inner.right - inner.left) * (inner.bottom - inner.top));
}

TEST_F(KeyButtonTest, ADisabledKeyDrawsItsLabelGreyed) {
    HWND hButton = CreateKey("ENTER", 60, 30, WS_DISABLED);
    m_key.SetLamp(0, 255, 0, 1);
    const Pixels shown = CaptureWindow(hButton);
    EXPECT_NE(m_key.lastState & ODS_DISABLED, 0u);
    const RECT inner = Inner(shown);
    EXPECT_EQ(shown.Count(::GetSysColor(COLOR_WINDOWTEXT), inner), 0) << "no label in the plain text colour";
    EXPECT_GT(shown.Count(::GetSysColor(COLOR_3DSHADOW), inner), 0) << "the greyed label's shadow";
}

TEST_F(KeyButtonTest, ClicksAndFocusLeaveTheLookUnchanged) {
    HWND hButton = CreateKey("A", 40, 40);
    const Pixels before = CaptureWindow(hButton);
    ::SendMessageA(hButton, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    const Pixels held = CaptureWindow(hButton);
    ::SendMessageA(hButton, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const Pixels after = CaptureWindow(hButton);
    const RECT all{0, 0, before.Width(), before.Height()};
    EXPECT_EQ(held.FirstDifference(before, all), "");
    EXPECT_EQ(after.FirstDifference(before, all), "");
    EXPECT_EQ(m_key.Lit(), 0);
}

TEST_F(KeyButtonTest, AnUnboundKeyKeepsItsLampAndPaintsNothingElse) {
    ::UpdateWindow(m_hParent);
    PumpMessages();
    RECT pending{};
    ASSERT_FALSE(::GetUpdateRect(m_hParent, &pending, FALSE));

    // No item 1001 yet: the bind fails, and the caller can tell.
    CDataExchange dx(&m_parent, FALSE);
    DDX_Control(&dx, kKeyId, m_key);
    EXPECT_TRUE(dx.m_bFailed);
    EXPECT_EQ(m_key.m_hWnd, nullptr);

    // Invalidating a null window would invalidate every window on the desktop, this one too.
    m_key.SetLamp(0, 255, 0, 1);
    EXPECT_EQ(m_key.Lit(), 1);
    EXPECT_FALSE(::GetUpdateRect(m_hParent, &pending, FALSE));
}

TEST_F(KeyButtonTest, TheButtonIsReleasedWhenItsWindowGoes) {
    HWND hButton = CreateKey("A", 40, 40);
    ::DestroyWindow(hButton);
    EXPECT_EQ(m_key.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hButton), nullptr);
    // The object can be bound again to a new window.
    CreateKey("B", 40, 40);
    EXPECT_NE(m_key.m_hWnd, nullptr);
}

}  // namespace
