// The program as it runs: the application object runs the real main dialog, built from the real
// resources, and the tests act on it from inside its modal loop.
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "key_button.h"
#include "key_table.h"
#include "resource.h"
#include "tester_harness.h"
#include "window_test_support.h"

using namespace testing_support;

namespace {

// Like the dialog manager, converts position and size separately (each rounds on its own).
RECT DialogUnitsToClient(HWND hDlg, int x, int y, int cx, int cy) {
    RECT units{x, y, cx, cy};
    ::MapDialogRect(hDlg, &units);
    return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

RECT ClientRectOfChild(HWND hDlg, HWND hChild) {
    RECT rect;
    ::GetWindowRect(hChild, &rect);
    ::MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

::testing::AssertionResult SameRect(const RECT& a, const RECT& b) {
    if (::EqualRect(&a, &b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.left << "," << a.top << ")-(" << a.right << "," << a.bottom
                                         << ") vs (" << b.left << "," << b.top << ")-(" << b.right << ","
                                         << b.bottom << ")";
}

// ---------------------------------------------------------------------------------------------

TEST(TesterDialog, IsBuiltExactlyFromItsTemplate) {
    EXPECT_FALSE(RunTester({[] {
        HWND hDlg = Dialog();
        ASSERT_NE(hDlg, nullptr);
        EXPECT_EQ(Text(hDlg), "ZENTAQ Tester");
        const DWORD style = static_cast<DWORD>(::GetWindowLongA(hDlg, GWL_STYLE));
        EXPECT_EQ(style & 0x90CA00C0u, 0x90CA00C0u) << std::hex << style;
        EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD), 0u) << std::hex << style;
        EXPECT_NE(::GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

        RECT client;
        ::GetClientRect(hDlg, &client);
        EXPECT_TRUE(SameRect(client, DialogUnitsToClient(hDlg, 0, 0, 467, 198)));

        // Creation order: the keys in id order but 1066 and 1084, which come last, then the logo.
        std::vector<const KeyEntry*> expected;
        for (const KeyEntry& key : kKeys) {
            if (key.id != 1066 && key.id != 1084) expected.push_back(&key);
        }
        expected.push_back(&kKeys[KeyIndex(*FindKeyByVirtualKey(192))]);  // 1066
        expected.push_back(&kKeys[KeyIndex(*FindKeyByVirtualKey(189))]);  // 1084
        std::vector<HWND> children;
        for (HWND h = ::GetWindow(hDlg, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
            children.push_back(h);
        }
        ASSERT_EQ(children.size(), 84u);

        for (std::size_t i = 0; i < expected.size(); ++i) {
            const KeyEntry& key = *expected[i];
            HWND h = children[i];
            SCOPED_TRACE("key " + std::to_string(key.id));
            EXPECT_EQ(::GetDlgCtrlID(h), key.id);
            char className[16] = {};
            ::GetClassNameA(h, className, sizeof className);
            EXPECT_STRCASEEQ(className, "Button");
            EXPECT_TRUE(SameRect(ClientRectOfChild(hDlg, h), DialogUnitsToClient(hDlg, key.x, key.y, key.cx, key.cy)));
            const DWORD expectedStyle =
                WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | (key.multiLine ? static_cast<DWORD>(BS_MULTILINE) : 0u);
            EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(h, GWL_STYLE)), expectedStyle);
            EXPECT_NE(::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
            EXPECT_EQ(Text(h), key.label);
            EXPECT_NE(Key(key.id), nullptr);
        }

        HWND hLogo = children[83];
        EXPECT_EQ(::GetDlgCtrlID(hLogo), IDC_LOGO);
        EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(hLogo, GWL_STYLE)), 0x5000080Eu);
        const RECT logo = ClientRectOfChild(hDlg, hLogo);
        const RECT corner = DialogUnitsToClient(hDlg, 381, 17, 15, 15);
        EXPECT_EQ(logo.left, corner.left);
        EXPECT_EQ(logo.top, corner.top);
        EXPECT_EQ(logo.right - logo.left, 120) << "the logo shows at its own size";
        EXPECT_EQ(logo.bottom - logo.top, 30);
    }}));
}

TEST(TesterDialog, TheArrowLabelsAreTheCodePage936Bytes) {
    EXPECT_FALSE(RunTester({[] {
        HWND hDlg = Dialog();
        EXPECT_EQ(Text(::GetDlgItem(hDlg, 1074)), "\xA1\xFC");
        EXPECT_EQ(Text(::GetDlgItem(hDlg, 1076)), "\xA1\xFD");
        EXPECT_EQ(Text(::GetDlgItem(hDlg, 1075)), "\xA1\xFB");
        EXPECT_EQ(Text(::GetDlgItem(hDlg, 1077)), "\xA1\xFA");
        EXPECT_EQ(Text(::GetDlgItem(hDlg, 1073)), "\xA1\xFB" "Backspace");
    }}));
}

TEST(TesterDialog, NoInputMethodCanTakeTheKeys) {
    // With an input context, an active input method turns letter keys into VK_PROCESSKEY.
    EXPECT_FALSE(RunTester({[] {
        HWND hDlg = Dialog();
        std::vector<HWND> windows = {hDlg};
        for (const KeyEntry& key : kKeys) windows.push_back(::GetDlgItem(hDlg, key.id));
        for (HWND h : windows) {
            const HIMC context = ::ImmGetContext(h);
            EXPECT_EQ(context, nullptr) << "window " << ::GetDlgCtrlID(h) << " has an input context";
            if (context != nullptr) ::ImmReleaseContext(h, context);
        }
    }}));
}

TEST(TesterDialog, TheLogoShowsTheBitmapAtItsOwnSize) {
    EXPECT_FALSE(RunTester({[] {
        HWND hLogo = ::GetDlgItem(Dialog(), IDC_LOGO);
        const auto hBitmap = reinterpret_cast<HBITMAP>(::SendMessageA(hLogo, STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(hBitmap, nullptr);
        BITMAP info{};
        ASSERT_NE(::GetObjectA(hBitmap, sizeof info, &info), 0);
        EXPECT_EQ(info.bmWidth, 120);
        EXPECT_EQ(info.bmHeight, 30);

        // The screen shows the bitmap's own pixels.
        const Pixels shown = CaptureWindow(hLogo);
        ASSERT_EQ(shown.Width(), 120);
        const Pixels bitmap = testing_support::RenderReference(120, 30, RGB(255, 0, 255), nullptr, [&](HDC dc) {
            HDC source = ::CreateCompatibleDC(dc);
            HGDIOBJ old = ::SelectObject(source, hBitmap);
            ::BitBlt(dc, 0, 0, 120, 30, source, 0, 0, SRCCOPY);
            ::SelectObject(source, old);
            ::DeleteDC(source);
        });
        EXPECT_EQ(shown.FirstDifference(bitmap, RECT{0, 0, 120, 30}), "");
    }}));
}

TEST(TesterDialog, TheSystemMenuEndsWithTheAboutItem) {
    EXPECT_FALSE(RunTester({[] {
        HMENU menu = ::GetSystemMenu(Dialog(), FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
        char text[64] = {};
        ::GetMenuStringA(menu, static_cast<UINT>(count - 1), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "&About ZENTAQ Tester ...");
        EXPECT_NE(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR, 0u);
    }}));
}

TEST(TesterDialog, TheAboutBoxOpensFreshEachTimeAndLeavesTheLampsAlone) {
    HWND firstAbout = nullptr;
    EXPECT_FALSE(RunTester({
        [] {
            PostKey(Dialog(), WM_KEYDOWN, 'A', KeyParam(0x1E, false));
            ::PostMessageA(Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        },
        [&] {  // inside the About box's own loop
            HWND hAbout = FindAboutBox();
            ASSERT_NE(hAbout, nullptr);
            firstAbout = hAbout;
            EXPECT_EQ(::GetWindow(hAbout, GW_OWNER), Dialog());
            EXPECT_FALSE(::IsWindowEnabled(Dialog())) << "the tester waits while the About box is open";
            EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(hAbout, GWL_STYLE)) & ~static_cast<DWORD>(WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK),
                      0x80C800C0u);
            EXPECT_EQ(Text(::GetDlgItem(hAbout, IDOK)), "OK");
            EXPECT_EQ(::GetWindowLongA(::GetDlgItem(hAbout, IDOK), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
            std::vector<std::string> texts;
            for (HWND h = ::GetWindow(hAbout, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
                texts.push_back(Text(h));
            }
            ASSERT_EQ(texts.size(), 4u);
            EXPECT_EQ(texts[1], "ZENTAQ Tester Version 1.0");
            HWND hIcon = ::GetWindow(hAbout, GW_CHILD);
            EXPECT_EQ(::GetDlgCtrlID(hIcon), 65535);
            EXPECT_NE(::SendMessageA(hIcon, STM_GETICON, 0, 0), 0);

            // Keys typed now belong to the About box; Enter presses its OK button.
            HWND focus = ::GetFocus();
            PostKey(focus, WM_KEYDOWN, 'B', KeyParam(0x30, false));
            PostKey(focus, WM_KEYUP, 'A', KeyParam(0x1E, true));
            PostKey(focus, WM_KEYDOWN, VK_RETURN, KeyParam(0x1C, false));
        },
        [&] {
            EXPECT_FALSE(::IsWindow(firstAbout));
            EXPECT_TRUE(::IsWindowEnabled(Dialog()));
            EXPECT_EQ(LitKeys(), std::vector<int>{1001}) << "A stays lit, B never lit";
            ::PostMessageA(Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        },
        [&] {
            HWND hAbout = FindAboutBox();
            ASSERT_NE(hAbout, nullptr) << "the About box opens a second time";
            // Notification code 1 from a control (BN_PAINT) is no accelerator: OK is not pressed.
            ::SendMessageA(hAbout, WM_COMMAND, MAKEWPARAM(IDOK, 1),
                           reinterpret_cast<LPARAM>(::GetDlgItem(hAbout, IDOK)));
            ::SendMessageA(hAbout, WM_COMMAND, MAKEWPARAM(IDCANCEL, 1),
                           reinterpret_cast<LPARAM>(::GetDlgItem(hAbout, IDOK)));
        },
        [&] {
            ASSERT_NE(FindAboutBox(), nullptr) << "a control's notification closed the About box";
            PostKey(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, KeyParam(0x01, false));
        },
        [] {
            EXPECT_EQ(FindAboutBox(), nullptr) << "Esc closes the About box";
            EXPECT_EQ(LitKeys(), std::vector<int>{1001});
        },
    }));
}

TEST(TesterDialog, KeysThatWouldOperateADialogOnlyLightTheirKeys) {
    HWND focusBefore = nullptr;
    const LPARAM altDown = KeyParam(0x38, false, true);
    EXPECT_FALSE(RunTester({
        [&] {
            HWND hDlg = Dialog();
            focusBefore = ::GetFocus();
            HWND target = focusBefore != nullptr ? focusBefore : hDlg;
            PostKey(target, WM_KEYDOWN, VK_ESCAPE, KeyParam(0x01, false));
            PostKey(target, WM_KEYDOWN, VK_RETURN, KeyParam(0x1C, false));
            PostKey(target, WM_KEYDOWN, VK_TAB, KeyParam(0x0F, false));
            PostKey(target, WM_KEYDOWN, VK_SPACE, KeyParam(0x39, false));
            PostKey(target, WM_KEYDOWN, VK_F1, KeyParam(0x3B, false));
            PostKey(target, WM_SYSKEYDOWN, VK_MENU, altDown);
            PostKey(target, WM_SYSKEYDOWN, VK_F4, KeyParam(0x3E, false, true));
            PostKey(target, WM_SYSKEYDOWN, VK_SPACE, KeyParam(0x39, false, true));
        },
        [&] {
            HWND hDlg = Dialog();
            ASSERT_NE(hDlg, nullptr) << "the dialog was closed";
            EXPECT_TRUE(::IsWindowVisible(hDlg));
            EXPECT_EQ(::GetFocus(), focusBefore) << "the focus moved";
            EXPECT_EQ(FindAboutBox(), nullptr);
            for (HWND h : VisibleThreadWindows()) {
                EXPECT_EQ(h, hDlg) << "a window opened: '" << Text(h) << "'";
            }
            EXPECT_EQ(LitKeys(), (std::vector<int>{1039, 1042, 1051, 1052, 1057, 1058, 1070}));

            HWND target = focusBefore != nullptr ? focusBefore : hDlg;
            PostKey(target, WM_KEYUP, VK_ESCAPE, KeyParam(0x01, true));
            PostKey(target, WM_KEYUP, VK_RETURN, KeyParam(0x1C, true));
            PostKey(target, WM_KEYUP, VK_TAB, KeyParam(0x0F, true));
            PostKey(target, WM_KEYUP, VK_F1, KeyParam(0x3B, true));
            PostKey(target, WM_SYSKEYUP, VK_F4, KeyParam(0x3E, true, true));
            PostKey(target, WM_SYSKEYUP, VK_SPACE, KeyParam(0x39, true, true));
            PostKey(target, WM_KEYUP, VK_MENU, KeyParam(0x38, true));
        },
        [] { EXPECT_EQ(LitKeys(), std::vector<int>{}); },
    }));
}

TEST(TesterDialog, AKeyQueuedToTheFocusedKeyButtonIsRoutedTheSame) {
    EXPECT_FALSE(RunTester({
        [] {
            HWND hButton = ::GetDlgItem(Dialog(), 1001);
            ::SetFocus(hButton);
            PostKey(hButton, WM_KEYDOWN, 'Q', KeyParam(0x10, false));
            PostKey(hButton, WM_KEYDOWN, VK_TAB, KeyParam(0x0F, false));
        },
        [] {
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(Dialog(), 1001));
            EXPECT_EQ(LitKeys(), (std::vector<int>{1017, 1052}));
            PostKey(::GetFocus(), WM_KEYUP, 'Q', KeyParam(0x10, true));
        },
        [] { EXPECT_EQ(LitKeys(), std::vector<int>{1052}); },
    }));
}

TEST(TesterDialog, EachModifierLightsItsOwnKey) {
    struct Modifier { UINT message; UINT vk; UINT scan; bool extended; int id; };
    const Modifier modifiers[] = {{WM_KEYDOWN, VK_SHIFT, 0x2A, false, 1054},   {WM_KEYDOWN, VK_SHIFT, 0x36, false, 1062},
                                  {WM_KEYDOWN, VK_CONTROL, 0x1D, false, 1055}, {WM_KEYDOWN, VK_CONTROL, 0x1D, true, 1061},
                                  {WM_SYSKEYDOWN, VK_MENU, 0x38, false, 1057}, {WM_SYSKEYDOWN, VK_MENU, 0x38, true, 1059},
                                  {WM_KEYDOWN, VK_LWIN, 0x5B, true, 1056},     {WM_KEYDOWN, VK_RWIN, 0x5C, true, 1060}};
    // All eight held together, then released one at a time: each clears its own key only.
    std::vector<ModalScript::Step> steps = {[&] {
        for (const Modifier& m : modifiers) {
            PostKey(Dialog(), m.message, m.vk, KeyParam(m.scan, false, m.message == WM_SYSKEYDOWN, m.extended));
        }
    }};
    std::vector<int> lit = {1054, 1055, 1056, 1057, 1059, 1060, 1061, 1062};
    for (const Modifier& m : modifiers) {
        steps.push_back([&, lit] {
            EXPECT_EQ(LitKeys(), lit);
            const UINT up = m.message == WM_SYSKEYDOWN ? WM_SYSKEYUP : WM_KEYUP;
            PostKey(Dialog(), up, m.vk, KeyParam(m.scan, true, up == WM_SYSKEYUP, m.extended));
        });
        lit.erase(std::find(lit.begin(), lit.end(), m.id));
    }
    steps.push_back([] { EXPECT_EQ(LitKeys(), std::vector<int>{}); });
    EXPECT_FALSE(RunTester(std::move(steps)));
}

TEST(TesterDialog, AMouseClickOnAKeyChangesNothing) {
    Pixels before;
    EXPECT_FALSE(RunTester({
        [&] {
            before = CaptureWindow(Dialog());
            HWND hButton = ::GetDlgItem(Dialog(), 1058);
            ::PostMessageA(hButton, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        },
        [&] {
            EXPECT_EQ(LitKeys(), std::vector<int>{});
            const Pixels held = CaptureWindow(Dialog());
            EXPECT_EQ(held.FirstDifference(before, RECT{0, 0, before.Width(), before.Height()}), "");
            ::PostMessageA(::GetDlgItem(Dialog(), 1058), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        },
        [&] {
            ASSERT_NE(Dialog(), nullptr);
            EXPECT_EQ(LitKeys(), std::vector<int>{});
            for (HWND h : VisibleThreadWindows()) EXPECT_EQ(h, Dialog()) << Text(h);
            const Pixels after = CaptureWindow(Dialog());
            EXPECT_EQ(after.FirstDifference(before, RECT{0, 0, before.Width(), before.Height()}), "");
        },
    }));
}

TEST(TesterDialog, IconsDragIconAndHelp) {
    EXPECT_FALSE(RunTester({[] {
        HWND hDlg = Dialog();
        const HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0)), icon);
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(hDlg, WM_GETICON, ICON_SMALL, 0)), icon);
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(hDlg, WM_QUERYDRAGICON, 0, 0)), icon);

        HELPINFO help{};
        help.cbSize = sizeof help;
        help.iContextType = HELPINFO_WINDOW;
        help.hItemHandle = hDlg;
        EXPECT_EQ(::SendMessageA(hDlg, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), TRUE);
        // The Help command goes to the application, which asks the dialog: nothing opens.
        ::SendMessageA(hDlg, WM_COMMAND, ID_HELP, 0);
        for (HWND h : VisibleThreadWindows()) EXPECT_EQ(h, hDlg) << Text(h);
    }}));
}

TEST(TesterDialog, MinimisingAndRestoringKeepsTheLamps) {
    EXPECT_FALSE(RunTester({
        [] {
            PostKey(Dialog(), WM_KEYDOWN, 'Z', KeyParam(0x2C, false));
            ::ShowWindow(Dialog(), SW_MINIMIZE);
        },
        [] {
            EXPECT_TRUE(::IsIconic(Dialog()));
            // The handler paints the icon when asked while minimised, whatever the client area.
            ::InvalidateRect(Dialog(), nullptr, TRUE);
            ::UpdateWindow(Dialog());
            ::ShowWindow(Dialog(), SW_RESTORE);
        },
        [] {
            EXPECT_FALSE(::IsIconic(Dialog()));
            EXPECT_EQ(LitKeys(), std::vector<int>{1026});
            const Pixels shown = CaptureWindow(::GetDlgItem(Dialog(), 1026));
            EXPECT_GT(shown.Count(RGB(0, 255, 0), RECT{0, 0, shown.Width(), shown.Height()}), 0);
        },
    }));
}

TEST(TesterDialog, TemporaryObjectsLastUntilTheQueueIsEmpty) {
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

TEST(TesterApp, CloseEndsTheModalRunAndInitInstanceReturnsFalse) {
    HWND seen = nullptr;
    EXPECT_FALSE(RunTester({[&] { seen = Dialog(); }}));
    EXPECT_NE(seen, nullptr);
    EXPECT_FALSE(::IsWindow(seen)) << "the dialog window is destroyed";
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

BOOL CALLBACK CountAboutBoxes(HWND hWnd, LPARAM count) {
    if (Text(hWnd) == "About") ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(TesterApp, ADialogThatCannotBeBoundToItsObjectLeavesNoWindow) {
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

// ---------------------------------------------------------------------------------------------
// Resources

std::string VersionString(const std::vector<char>& block, const char* name) {
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return "<none>";
    return length > 0 ? std::string(value) : std::string();
}

TEST(Resources, TheVersionRecordReadsBack) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 4u);
    EXPECT_EQ(fixed->dwFileType, 1u);
    EXPECT_EQ(fixed->dwFileSubtype, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                 &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);

    EXPECT_EQ(VersionString(block, "FileVersion"), "1, 0, 0, 1");
    EXPECT_EQ(VersionString(block, "ProductVersion"), "1, 0, 0, 1");
    EXPECT_EQ(VersionString(block, "InternalName"), "ZENTAQ Tester");
    EXPECT_EQ(VersionString(block, "OriginalFilename"), "ZENTAQ Tester.EXE");
    EXPECT_EQ(VersionString(block, "ProductName"), "ZENTAQ Tester Application");
    EXPECT_NE(VersionString(block, "LegalCopyright").find("ZENTAQ"), std::string::npos);
    for (const char* empty : {"Comments", "CompanyName", "FileDescription", "LegalTrademarks", "PrivateBuild",
                              "SpecialBuild"}) {
        EXPECT_EQ(VersionString(block, empty), "") << empty;
    }
}

const BYTE* DialogTemplate(int id) {
    HMODULE self = ::GetModuleHandleA(nullptr);
    HRSRC resource = ::FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    return resource != nullptr ? static_cast<const BYTE*>(::LockResource(::LoadResource(self, resource))) : nullptr;
}

// A dialog template read back field by field, classic (DLGTEMPLATE) or extended (DLGTEMPLATEEX).
struct TemplateItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::string className;  // "#N" for an ordinal
    std::string text;
    int textOrdinal = -1;
};

struct DialogTemplateFields {
    bool extended = false;
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::string face;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* p) : m_start(p), m_p(p) {}
    WORD Word() { const WORD v = static_cast<WORD>(m_p[0] | m_p[1] << 8); m_p += 2; return v; }
    DWORD Dword() { const DWORD low = Word(); return low | static_cast<DWORD>(Word()) << 16; }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return *m_p++; }
    // A wide string, or 0xFFFF and an ordinal; `ordinal` gets the ordinal or -1.
    std::string SzOrOrd(int* ordinal = nullptr) {
        if (ordinal != nullptr) *ordinal = -1;
        if (m_p[0] == 0xFF && m_p[1] == 0xFF) {
            m_p += 2;
            const int value = Word();
            if (ordinal != nullptr) *ordinal = value;
            return "#" + std::to_string(value);
        }
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) text += static_cast<char>(c < 0x80 ? c : '?');
        return text;
    }
    void AlignDword() { while ((m_p - m_start) % 4 != 0) ++m_p; }
    void Skip(std::size_t bytes) { m_p += bytes; }

private:
    const BYTE* m_start;
    const BYTE* m_p;
};

DialogTemplateFields ReadTemplate(const BYTE* p) {
    DialogTemplateFields t;
    TemplateReader r(p);
    t.extended = p[2] == 0xFF && p[3] == 0xFF;
    WORD count = 0;
    if (t.extended) {
        r.Word();   // version
        r.Word();   // signature
        r.Dword();  // help id
        t.exStyle = r.Dword();
        t.style = r.Dword();
    } else {
        t.style = r.Dword();
        t.exStyle = r.Dword();
    }
    count = r.Word();
    t.x = r.Short(), t.y = r.Short(), t.cx = r.Short(), t.cy = r.Short();
    r.SzOrOrd();  // menu
    r.SzOrOrd();  // window class
    t.caption = r.SzOrOrd();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Word();
        if (t.extended) {
            t.weight = r.Word();
            t.italic = r.Byte();
            t.charset = r.Byte();
        }
        t.face = r.SzOrOrd();
    }
    for (WORD i = 0; i < count; ++i) {
        TemplateItem item;
        r.AlignDword();
        if (t.extended) {
            r.Dword();  // help id
            item.exStyle = r.Dword();
            item.style = r.Dword();
        } else {
            item.style = r.Dword();
            item.exStyle = r.Dword();
        }
        item.x = r.Short(), item.y = r.Short(), item.cx = r.Short(), item.cy = r.Short();
        item.id = t.extended ? r.Dword() : r.Word();
        item.className = r.SzOrOrd();
        item.text = r.SzOrOrd(&item.textOrdinal);
        r.Skip(r.Word());  // creation data
        t.items.push_back(item);
    }
    return t;
}

constexpr const char* kButtonClass = "#128";  // the predefined classes by ordinal
constexpr const char* kStaticClass = "#130";

// One control as the template must hold it; an icon's text is the icon's resource number.
struct ExpectedItem {
    DWORD id;
    const char* className;
    std::string text;
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
};

void ExpectItem(const TemplateItem& item, const ExpectedItem& e) {
    EXPECT_EQ(item.id, e.id);
    EXPECT_EQ(item.className, e.className);
    EXPECT_EQ(item.textOrdinal >= 0 ? "#" + std::to_string(item.textOrdinal) : item.text, e.text);
    EXPECT_EQ(std::vector<short>({item.x, item.y, item.cx, item.cy}), std::vector<short>({e.x, e.y, e.cx, e.cy}));
    EXPECT_EQ(item.style, e.style) << std::hex << item.style;
    EXPECT_EQ(item.exStyle, e.exStyle);
}

// Position 0, 0 (the framework centres both dialogs), 8 point "MS Sans Serif".
void ExpectDialog(const DialogTemplateFields& t, bool extended, DWORD style, DWORD exStyle, short cx, short cy,
                  const char* caption) {
    EXPECT_EQ(t.extended, extended);
    EXPECT_EQ(t.style, style);
    EXPECT_EQ(t.exStyle, exStyle);
    EXPECT_EQ(std::vector<short>({t.x, t.y, t.cx, t.cy}), std::vector<short>({0, 0, cx, cy}));
    EXPECT_EQ(t.caption, caption);
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.face, "MS Sans Serif");
}

TEST(Resources, TheMainDialogTemplateReadsBackFieldByField) {
    const BYTE* bytes = DialogTemplate(IDD_TESTER_DIALOG);
    ASSERT_NE(bytes, nullptr);
    const DialogTemplateFields t = ReadTemplate(bytes);
    ExpectDialog(t, true, 0x90CA00C0u, 0x00040000u, 467, 198, "ZENTAQ Tester");
    EXPECT_EQ(t.weight, 0);
    EXPECT_EQ(t.italic, 0);
    // Windows builds the dialog font from this byte; Wine ignores it, so only the bytes show it.
    EXPECT_EQ(t.charset, DEFAULT_CHARSET);

    ASSERT_EQ(t.items.size(), 84u);
    std::vector<const KeyEntry*> order;
    for (const KeyEntry& key : kKeys) {
        if (key.id != 1066 && key.id != 1084) order.push_back(&key);
    }
    order.push_back(FindKeyByVirtualKey(192));  // 1066
    order.push_back(FindKeyByVirtualKey(189));  // 1084
    for (std::size_t i = 0; i < order.size(); ++i) {
        const KeyEntry& key = *order[i];
        SCOPED_TRACE("key " + std::to_string(key.id));
        const DWORD style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | (key.multiLine ? static_cast<DWORD>(BS_MULTILINE) : 0u);
        ExpectItem(t.items[i], {key.id, kButtonClass, key.caption, key.x, key.y, key.cx, key.cy, style, WS_EX_CLIENTEDGE});
    }
    ExpectItem(t.items[83], {IDC_LOGO, kStaticClass, "", 381, 17, 15, 15, 0x5000080Eu, 0});
}

TEST(Resources, TheAboutBoxTemplateReadsBackControlByControl) {
    const BYTE* bytes = DialogTemplate(IDD_ABOUTBOX);
    ASSERT_NE(bytes, nullptr);
    const DialogTemplateFields t = ReadTemplate(bytes);
    ExpectDialog(t, false, 0x80C800C0u, 0, 235, 55, "About");

    ASSERT_EQ(t.items.size(), 4u);
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    ExpectItem(t.items[0], {0xFFFF, kStaticClass, "#128", 11, 17, 20, 20, kChild | SS_ICON, 0});
    ExpectItem(t.items[1], {0xFFFF, kStaticClass, "ZENTAQ Tester Version 1.0", 40, 10, 136, 8,
                            kChild | WS_GROUP | SS_LEFT | SS_NOPREFIX, 0});
    ExpectItem(t.items[2], {0xFFFF, kStaticClass, t.items[2].text, 40, 25, 152, 8, kChild | WS_GROUP | SS_LEFT, 0});
    EXPECT_NE(t.items[2].text.find("ZENTAQ"), std::string::npos) << "the maker's notice";
    ExpectItem(t.items[3], {IDOK, kButtonClass, "OK", 178, 7, 50, 14,
                            kChild | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0});
}

TEST(Resources, IconLogoAndStringsAreWhereTheProgramLooks) {
    HMODULE self = ::GetModuleHandleA(nullptr);
    // The icon group is in Chinese (Simplified), everything else in US English.
    EXPECT_NE(::FindResourceExA(self, MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)),
              nullptr);
    const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    for (int dialog : {IDD_ABOUTBOX, IDD_TESTER_DIALOG}) {
        EXPECT_NE(::FindResourceExA(self, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(dialog), english), nullptr) << dialog;
    }
    EXPECT_NE(::FindResourceExA(self, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(IDB_LOGO), english), nullptr);

    // One 48x48 image with 256 colours.
    HRSRC group = ::FindResourceA(self, MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14));
    ASSERT_NE(group, nullptr);
    const auto* dir = static_cast<const BYTE*>(::LockResource(::LoadResource(self, group)));
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(dir[4] | dir[5] << 8, 1) << "images in the icon";
    EXPECT_EQ(dir[6], 48);
    EXPECT_EQ(dir[7], 48);
    EXPECT_EQ(dir[6 + 6] | dir[6 + 7] << 8, 8) << "bits per pixel";

    HBITMAP logo = ::LoadBitmapA(self, MAKEINTRESOURCEA(IDB_LOGO));
    ASSERT_NE(logo, nullptr);
    BITMAP info{};
    ::GetObjectA(logo, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 120);
    EXPECT_EQ(info.bmHeight, 30);
    ::DeleteObject(logo);
    HRSRC bits = ::FindResourceA(self, MAKEINTRESOURCEA(IDB_LOGO), MAKEINTRESOURCEA(2));
    const auto* header = static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(self, bits)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biBitCount, 24);

    char about[64] = {};
    EXPECT_GT(::LoadStringA(self, IDS_ABOUTBOX, about, sizeof about), 0);
    EXPECT_STREQ(about, "&About ZENTAQ Tester ...");
}

}  // namespace
