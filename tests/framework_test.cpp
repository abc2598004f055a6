// The framework's lifetime rules as the running program meets them: the objects a window hands
// out for its items and system menu, and a dialog that cannot be bound to its object.
#include "dialog_fixture.h"
#include "resource.h"

using namespace testing_support;

namespace {

using Framework = DialogTest;

TEST_F(Framework, ItemAndMenuObjectsLastAsLongAsTheirWindow) {
    HWND hOwner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 50, 50, nullptr,
                                    nullptr, nullptr, nullptr);
    ASSERT_NE(hOwner, nullptr);
    HWND hItem = ::CreateWindowExA(0, "STATIC", "item", WS_CHILD, 0, 0, 10, 10, hOwner, reinterpret_cast<HMENU>(7),
                                   nullptr, nullptr);
    CWnd owner;
    ASSERT_TRUE(owner.SubclassWindow(hOwner));
    CWnd* item = owner.GetDlgItem(7);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->m_hWnd, hItem);
    EXPECT_EQ(CWnd::FromHandlePermanent(hItem), nullptr);
    CMenu* menu = owner.GetSystemMenu(FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->m_hMenu, ::GetSystemMenu(hOwner, FALSE));
    EXPECT_EQ(AfxGetMainWnd()->GetDlgItem(1001), Key(1001)) << "bound windows are not copied";

    Settle();  // the loop goes idle: nothing is dropped
    EXPECT_EQ(owner.GetDlgItem(7), item) << "one object per window";
    EXPECT_EQ(item->m_hWnd, hItem);
    EXPECT_EQ(owner.GetSystemMenu(FALSE), menu);
    EXPECT_EQ(menu->m_hMenu, ::GetSystemMenu(hOwner, FALSE));

    ::DestroyWindow(hOwner);
    EXPECT_EQ(owner.m_hWnd, nullptr);
    EXPECT_EQ(menu->m_hMenu, nullptr) << "the menu object is released with the window";
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
