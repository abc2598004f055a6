// The dialog at the screen's DPI, which the run checks if told (ZQ_DPI): it scales and is
// centred. The plain Wine set-up runs it at 96 DPI, another at 144.
#include <cstdlib>

#include "dialog_fixture.h"
#include "resource.h"

using namespace testing_support;

namespace {

class ScreenDpi : public DialogTest {
protected:
    void SetUp() override {
        HDC screen = ::GetDC(nullptr);
        m_dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
        ::ReleaseDC(nullptr, screen);
        char wanted[16] = {};
        if (::GetEnvironmentVariableA("ZQ_DPI", wanted, sizeof wanted) > 0) {
            ASSERT_EQ(m_dpi, std::atoi(wanted)) << "the screen DPI the test was started for";
        }
        DialogTest::SetUp();
    }
    int m_dpi = 0;
};

// `inner` stands in the middle of `outer`: the margins on either side differ by a pixel at most.
::testing::AssertionResult Centred(const RECT& inner, const RECT& outer) {
    const long horizontal = (inner.left - outer.left) - (outer.right - inner.right);
    const long vertical = (inner.top - outer.top) - (outer.bottom - inner.bottom);
    if (std::abs(horizontal) <= 1 && std::abs(vertical) <= 1) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "margins differ by " << horizontal << " across and " << vertical << " down";
}

// The dialog's client size at 96 DPI: 467 x 198 dialog units with the 6 x 13 base units of
// 8 point MS Sans Serif.
constexpr SIZE kClientAt96Dpi{701, 322};

TEST_F(ScreenDpi, TheDialogIsCentredOnItsWorkAreaAndTheAboutBoxOverIt) {
    HWND hDlg = Dialog();
    RECT client;
    ::GetClientRect(hDlg, &client);
    const double scale = m_dpi / 96.0;
    EXPECT_NEAR(client.right, kClientAt96Dpi.cx * scale, kClientAt96Dpi.cx * scale * 0.05) << m_dpi << " DPI";
    EXPECT_NEAR(client.bottom, kClientAt96Dpi.cy * scale, kClientAt96Dpi.cy * scale * 0.05) << m_dpi << " DPI";

    RECT main{};
    ::GetWindowRect(hDlg, &main);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromWindow(hDlg, MONITOR_DEFAULTTONEAREST), &monitor));
    EXPECT_TRUE(Centred(main, monitor.rcWork)) << "the main dialog on its monitor's work area";

    ::PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    Settle();
    HWND hAbout = ThreadWindowTitled("About");
    ASSERT_NE(hAbout, nullptr);
    RECT about;
    ::GetWindowRect(hAbout, &about);
    EXPECT_TRUE(Centred(about, main)) << "the About box over the main dialog";
    Post(*KeyWithCode(VK_ESCAPE), false, false, ::GetFocus());
    Settle();
    EXPECT_EQ(ThreadWindowTitled("About"), nullptr);
}

}  // namespace
