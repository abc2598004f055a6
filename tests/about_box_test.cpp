// The About box, opened from the system menu: built from its template, modal over the tester,
// a window of its own each time, and the keys typed into it light nothing.
#include "dialog_fixture.h"
#include "resource.h"

using namespace testing_support;

namespace {

using AboutBox = DialogTest;

TEST_F(AboutBox, OpensFreshEachTimeAndLeavesTheLampsAlone) {
    HWND hDlg = Dialog();
    Post(*KeyWithCode('A'), false);
    ::PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    Settle();  // inside the About box's own loop
    HWND hAbout = ThreadWindowTitled("About");
    ASSERT_NE(hAbout, nullptr);
    EXPECT_EQ(::GetWindow(hAbout, GW_OWNER), hDlg);
    EXPECT_FALSE(::IsWindowEnabled(hDlg)) << "the tester waits while the About box is open";
    // The system adds WS_CLIPSIBLINGS to a window with a caption, and DS_3DLOOK to every dialog.
    constexpr DWORD kAdded = WS_CLIPSIBLINGS | DS_3DLOOK;
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(hAbout, GWL_STYLE)) & ~kAdded,
              static_cast<DWORD>(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU));

    const std::vector<HWND> children = Children(hAbout);
    ASSERT_EQ(children.size(), 4u);
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    constexpr int kStatic = 0xFFFF;  // IDC_STATIC as a control's 16-bit id
    // The icon control takes the icon's size; its text is the icon's resource number.
    ExpectControl(hAbout, children[0], {"Static", kStatic, nullptr, 11, 17, 0, 0, kChild | SS_ICON, WS_EX_NOPARENTNOTIFY});
    EXPECT_NE(::SendMessageA(children[0], STM_GETICON, 0, 0), 0);
    ExpectControl(hAbout, children[1], {"Static", kStatic, "ZENTAQ Tester Version 1.0", 40, 10, 136, 8,
                                        kChild | WS_GROUP | SS_LEFT | SS_NOPREFIX, WS_EX_NOPARENTNOTIFY});
    ExpectControl(hAbout, children[2], {"Static", kStatic, "Copyright (C) 2026 ZENTAQ", 40, 25, 152, 8,
                                        kChild | WS_GROUP | SS_LEFT, WS_EX_NOPARENTNOTIFY});
    ExpectControl(hAbout, children[3], {"Button", IDOK, "OK", 178, 7, 50, 14,
                                        kChild | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, WS_EX_NOPARENTNOTIFY});

    // Keys typed now go to the About box's focus; Enter presses its OK button.
    Post(*KeyWithCode('B'), false, false, ::GetFocus());
    Post(*KeyWithCode('A'), true, false, ::GetFocus());
    Post(*KeyWithCode(VK_RETURN), false, false, ::GetFocus());
    Settle();
    EXPECT_FALSE(::IsWindow(hAbout));
    EXPECT_TRUE(::IsWindowEnabled(hDlg));
    EXPECT_EQ(LitKeys(), std::vector<int>{1001}) << "A stays lit, B never lit";

    ::PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    Settle();
    hAbout = ThreadWindowTitled("About");
    ASSERT_NE(hAbout, nullptr) << "the About box opens a second time";
    // A control's notification (BN_PAINT) is no command: OK is not pressed.
    const auto hOk = reinterpret_cast<LPARAM>(::GetDlgItem(hAbout, IDOK));
    ::SendMessageA(hAbout, WM_COMMAND, MAKEWPARAM(IDOK, BN_PAINT), hOk);
    ::SendMessageA(hAbout, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_PAINT), hOk);
    Settle();
    ASSERT_EQ(ThreadWindowTitled("About"), hAbout) << "a control's notification closed the About box";

    Post(*KeyWithCode(VK_ESCAPE), false, false, ::GetFocus());
    Settle();
    EXPECT_EQ(ThreadWindowTitled("About"), nullptr) << "Esc closes the About box";
    EXPECT_EQ(LitKeys(), std::vector<int>{1001});
}

}  // namespace
