// The framework's lifetime rules as the running program meets them: temporary window and menu
// objects, and a dialog that cannot be bound to its object.
#include "dialog_fixture.h"
#include "resource.h"

using namespace testing_support;

namespace {

using Framework = DialogTest;

TEST_F(Framework, TemporaryObjectsLastUntilTheQueueIsEmpty) {
    HWND hLogo = ::GetDlgItem(Dialog(), IDC_LOGO);
    CWnd* logo = CWnd::FromHandle(hLogo);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->m_hWnd, hLogo);
    EXPECT_EQ(CWnd::FromHandle(hLogo), logo) << "one object per window";
    EXPECT_EQ(CWnd::FromHandlePermanent(hLogo), nullptr);
    EXPECT_EQ(CWnd::FromHandle(::GetDlgItem(Dialog(), 1001)), Key(1001)) << "bound windows are not copied";
    ASSERT_NE(CMenu::FromHandle(::GetSystemMenu(Dialog(), FALSE)), nullptr);
    EXPECT_TRUE(CWnd::HasTempMap());
    EXPECT_TRUE(CMenu::HasTempMap());

    Settle();
    EXPECT_FALSE(CWnd::HasTempMap());
    EXPECT_FALSE(CMenu::HasTempMap());
}

TEST_F(Framework, ADialogThatCannotBeBoundToItsObjectLeavesNoWindow) {
    // An object already bound to another window cannot take the new dialog's window.
    HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    CDialog about(IDD_ABOUTBOX);
    ASSERT_TRUE(about.SubclassWindow(other));
    EXPECT_EQ(about.DoModal(), -1);
    EXPECT_TRUE(::IsWindow(other)) << "the window bound before is left alone";
    EXPECT_EQ(about.m_hWnd, other);
    EXPECT_EQ(ThreadWindowTitled("About", false), nullptr) << "the About box's window was leaked";
    about.UnsubclassWindow();
    ::DestroyWindow(other);
}

}  // namespace
