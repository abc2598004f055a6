// The framework's lifetime rules as the running program meets them: temporary window and menu
// objects, and a dialog that cannot be bound to its object.
#include <gtest/gtest.h>
#include <windows.h>

#include "dialog_fixture.h"
#include "resource.h"

using namespace testing_support;

namespace {

TEST(Framework, TemporaryObjectsLastUntilTheQueueIsEmpty) {
    EXPECT_FALSE(RunTester({
        [] {
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
        },
        [] {
            EXPECT_FALSE(CWnd::HasTempMap());
            EXPECT_FALSE(CMenu::HasTempMap());
        },
    }));
}

BOOL CALLBACK CountAboutBoxes(HWND hWnd, LPARAM count) {
    if (Text(hWnd) == "About") ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(Framework, ADialogThatCannotBeBoundToItsObjectLeavesNoWindow) {
    // An object already bound to another window cannot take the new dialog's window.
    HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    CDialog about(IDD_ABOUTBOX);
    ASSERT_TRUE(about.SubclassWindow(other));
    EXPECT_EQ(about.DoModal(), -1);
    EXPECT_TRUE(::IsWindow(other)) << "the window bound before is left alone";
    EXPECT_EQ(about.m_hWnd, other);
    int left = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountAboutBoxes, reinterpret_cast<LPARAM>(&left));
    EXPECT_EQ(left, 0) << "the About box's window was leaked";
    about.UnsubclassWindow();
    ::DestroyWindow(other);
}

}  // namespace
