// The main dialog as the program builds it: the windows its template makes, the logo, the
// system menu, the icons, the input context and the keyboard's hot keys.
#include <windows.h>
#include <imm.h>

#include <algorithm>

#include "dialog_fixture.h"
#include "key_table.h"
#include "resource.h"

using namespace testing_support;

namespace {

using DialogAsBuilt = DialogTest;

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                               WS_MINIMIZEBOX;
// The dialog manager gives every control it makes WS_EX_NOPARENTNOTIFY.
constexpr DWORD kKeyExStyle = WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY;

TEST_F(DialogAsBuilt, EveryWindowIsMadeFromTheTemplate) {
    HWND hDlg = Dialog();
    ASSERT_NE(hDlg, nullptr);
    EXPECT_EQ(Text(hDlg), "ZENTAQ Tester");
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(hDlg, GWL_STYLE));
    EXPECT_EQ(style & kDialogStyle, kDialogStyle) << std::hex << style;
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD), 0u) << std::hex << style;
    EXPECT_NE(::GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    RECT client, units{0, 0, 467, 198};
    ::GetClientRect(hDlg, &client);
    ::MapDialogRect(hDlg, &units);
    EXPECT_TRUE(::EqualRect(&client, &units));

    // The keys in id order but 1066 and 1084, which come last, then the logo.
    const std::vector<HWND> children = Children(hDlg);
    ASSERT_EQ(children.size(), kKeyCount + 1);
    std::vector<const KeyEntry*> keys;
    for (const KeyEntry& key : kKeys) keys.push_back(&key);
    std::stable_partition(keys.begin(), keys.end(), [](const KeyEntry* key) { return key->id != 1066 && key->id != 1084; });
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        const KeyEntry& key = *keys[i];
        const DWORD keyStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | (key.multiLine ? BS_MULTILINE : 0);
        ExpectControl(hDlg, children[i],
                      {"Button", key.id, key.label, key.x, key.y, key.cx, key.cy, keyStyle, kKeyExStyle});
        EXPECT_NE(Key(key.id), nullptr) << key.id;
    }
    // The logo takes the bitmap's size; see the next case.
    ExpectControl(hDlg, children[kKeyCount], {"Static", IDC_LOGO, "", 381, 17, 0, 0,
                                              WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_REALSIZEIMAGE, WS_EX_NOPARENTNOTIFY});
}

TEST_F(DialogAsBuilt, TheLogoShowsTheBitmapAtItsOwnSize) {
    HWND hLogo = ::GetDlgItem(Dialog(), IDC_LOGO);
    const auto hBitmap = reinterpret_cast<HBITMAP>(::SendMessageA(hLogo, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(hBitmap, nullptr);
    BITMAP info{};
    ASSERT_NE(::GetObjectA(hBitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 120);
    EXPECT_EQ(info.bmHeight, 30);

    const Pixels shown = CaptureWindow(hLogo);
    ASSERT_EQ(shown.Width(), info.bmWidth);
    ASSERT_EQ(shown.Height(), info.bmHeight);
    const Pixels bitmap = RenderReference(info.bmWidth, info.bmHeight, RGB(255, 0, 255), nullptr, [&](HDC dc) {
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(source, hBitmap);
        ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
        ::SelectObject(source, old);
        ::DeleteDC(source);
    });
    EXPECT_EQ(shown.FirstDifference(bitmap, RECT{0, 0, info.bmWidth, info.bmHeight}), "");
}

TEST_F(DialogAsBuilt, TheSystemMenuEndsWithTheAboutItem) {
    HMENU menu = ::GetSystemMenu(Dialog(), FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    char text[64] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(count - 1), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About ZENTAQ Tester ...");
    EXPECT_NE(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR, 0u);
}

TEST_F(DialogAsBuilt, IconsDragIconAndHelp) {
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
    int asked = 0;
    {
        MessageHook hook([&](HWND hWnd, UINT message, WPARAM, LPARAM) { asked += hWnd == hDlg && message == WM_HELP ? 1 : 0; });
        ::SendMessageA(hDlg, WM_COMMAND, ID_HELP, 0);
    }
    EXPECT_EQ(asked, 1) << "the application's Help command asks the main dialog";
    for (HWND h : ThreadWindows()) EXPECT_EQ(h, hDlg) << Text(h);
}

TEST_F(DialogAsBuilt, NoInputMethodCanTakeTheKeys) {
    // With an input context, an active input method turns letter keys into VK_PROCESSKEY.
    HWND hDlg = Dialog();
    std::vector<HWND> windows = Children(hDlg);
    windows.push_back(hDlg);
    for (HWND h : windows) {
        const HIMC context = ::ImmGetContext(h);
        EXPECT_EQ(context, nullptr) << "window " << ::GetDlgCtrlID(h) << " has an input context";
        if (context != nullptr) ::ImmReleaseContext(h, context);
    }
}

TEST_F(DialogAsBuilt, KeepsTheKeyboardsHotKeysWhileItRuns) {
    // Raw input for the keyboard, without its hot keys, to the dialog; the key messages still
    // come (no RIDEV_NOLEGACY), and only while the tester has the keyboard (no RIDEV_INPUTSINK).
    RAWINPUTDEVICE devices[4] = {};
    UINT count = 4;
    ASSERT_EQ(::GetRegisteredRawInputDevices(devices, &count, sizeof devices[0]), 1u);
    EXPECT_EQ(devices[0].usUsagePage, 0x01);
    EXPECT_EQ(devices[0].usUsage, 0x06);
    EXPECT_EQ(devices[0].dwFlags, static_cast<DWORD>(RIDEV_NOHOTKEYS)) << std::hex << devices[0].dwFlags;
    EXPECT_EQ(devices[0].hwndTarget, Dialog());

    Close();
    count = 4;
    EXPECT_EQ(::GetRegisteredRawInputDevices(devices, &count, sizeof devices[0]), 0u) << "left after the dialog";
}

}  // namespace
