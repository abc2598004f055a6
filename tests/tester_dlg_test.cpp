// The program as it runs: the application object runs the real main dialog, built from the real
// resources, and the tests act on it from inside its modal loop.
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "key_button.h"
#include "key_table.h"
#include "resource.h"
#include "tester_dlg.h"
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

// A key as CKeyButton draws it unlit, with `label` drawn by TextOutW in `font`: the frame,
// then the label centred on the inside with the halves truncated separately.
Pixels UnlitKeyWithWideLabel(int width, int height, HFONT font, const wchar_t* label) {
    return RenderReference(width, height, RGB(255, 0, 255), font, [&](HDC dc) {
        RECT rect{0, 0, width, height};
        ::DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH);
        ::InflateRect(&rect, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
        const int length = static_cast<int>(std::wcslen(label));
        SIZE size{};
        ::GetTextExtentPoint32W(dc, label, length, &size);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::TextOutW(dc, (rect.left + rect.right) / 2 - size.cx / 2, (rect.top + rect.bottom) / 2 - size.cy / 2, label,
                   length);
    });
}

TEST(TesterDialog, TheArrowLabelsShowAsArrowsWhereTheAnsiCodePageIs936) {
    if (::GetACP() != 936) {
        GTEST_SKIP() << "the ANSI code page is " << ::GetACP()
                     << ", not 936 (Chinese Simplified); ctest runs this as tester_dlg_tests_zh_CN";
    }
    EXPECT_FALSE(RunTester({[] {
        HWND hDlg = Dialog();
        // The keys draw with the DC's font, which is the one the dialog gave its controls.
        const auto font = reinterpret_cast<HFONT>(::SendMessageA(hDlg, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTA logFont{};
        ::GetObjectA(font, sizeof logFont, &logFont);
        EXPECT_STREQ(logFont.lfFaceName, "MS Sans Serif");
        EXPECT_EQ(logFont.lfCharSet, DEFAULT_CHARSET);

        struct Arrow {
            int id;
            const wchar_t* label;     // what the key shows
            const wchar_t* mistaken;  // the same bytes read in code page 1252
        };
        const Arrow arrows[] = {{1074, L"\x2191", L"\xA1\xFC"},
                                {1076, L"\x2193", L"\xA1\xFD"},
                                {1075, L"\x2190", L"\xA1\xFB"},
                                {1077, L"\x2192", L"\xA1\xFA"},
                                {1073, L"\x2190" L"Backspace", L"\xA1\xFB" L"Backspace"}};
        for (const Arrow& arrow : arrows) {
            SCOPED_TRACE("key " + std::to_string(arrow.id));
            HWND hKey = ::GetDlgItem(hDlg, arrow.id);
            EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(hKey, WM_GETFONT, 0, 0)), font);
            const Pixels shown = CaptureWindow(hKey);
            const int width = shown.Width();
            const int height = shown.Height();
            const RECT all{0, 0, width, height};
            EXPECT_EQ(shown.FirstDifference(UnlitKeyWithWideLabel(width, height, font, arrow.label), all), "");

            // Not the font's glyph for a missing character (U+0378 is unassigned), nor the
            // code page 1252 reading of the bytes.
            std::wstring missing = arrow.label;
            missing[0] = L'\x0378';
            EXPECT_NE(shown.FirstDifference(UnlitKeyWithWideLabel(width, height, font, missing.c_str()), all), "")
                << "drawn as the glyph for a missing character";
            EXPECT_NE(shown.FirstDifference(UnlitKeyWithWideLabel(width, height, font, arrow.mistaken), all), "")
                << "drawn as code page 1252 characters";
        }

        // Only the code page is Chinese: Wine's own texts stay in the session's language, which
        // is English where ctest runs this.
        char close[64] = {};
        ::GetMenuStringA(::GetSystemMenu(hDlg, FALSE), SC_CLOSE, close, sizeof close, MF_BYCOMMAND);
        EXPECT_EQ(std::string(close).substr(0, std::string(close).find('\t')), "&Close");
    }}));
}

// The smallest rectangle around the pixels of `area` that are not `background`; empty if none.
RECT InkBox(const Pixels& pixels, const RECT& area, COLORREF background) {
    RECT box{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (pixels.At(x, y) == background) continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    }
    return box.left < box.right ? box : RECT{};
}

// Describes the first pixel outside `except` that differs between the two, or "".
std::string FirstDifferenceOutside(const Pixels& a, const Pixels& b, const RECT& except) {
    const RECT bands[] = {{0, 0, a.Width(), except.top},
                          {0, except.bottom, a.Width(), a.Height()},
                          {0, except.top, except.left, except.bottom},
                          {except.right, except.top, a.Width(), except.bottom}};
    for (const RECT& band : bands) {
        const std::string difference = a.FirstDifference(b, band);
        if (!difference.empty()) return difference;
    }
    return "";
}

// The client area of a key in the dialog's client coordinates: the button draws all of it.
RECT KeyFace(HWND hDlg, HWND hKey) {
    RECT rect;
    ::GetClientRect(hKey, &rect);
    ::MapWindowPoints(hKey, hDlg, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The dialog's client size at 96 DPI: 467 x 198 dialog units with the 6 x 13 base units of
// 8 point MS Sans Serif.
constexpr SIZE kClientAt96Dpi{701, 322};

// The screen DPI, which must be the one the test was started for (ZQ_DPI), if given.
int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    char wanted[16] = {};
    if (::GetEnvironmentVariableA("ZQ_DPI", wanted, sizeof wanted) > 0) {
        EXPECT_EQ(dpi, std::atoi(wanted)) << "the screen DPI the test was started for";
    }
    return dpi;
}

// `inner` stands in the middle of `outer`: the margins on either side differ by a pixel at most.
::testing::AssertionResult Centred(const RECT& inner, const RECT& outer) {
    const long horizontal = (inner.left - outer.left) - (outer.right - inner.right);
    const long vertical = (inner.top - outer.top) - (outer.bottom - inner.bottom);
    if (std::abs(horizontal) <= 1 && std::abs(vertical) <= 1) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "margins differ by " << horizontal << " across and " << vertical
                                         << " down: " << SameRect(inner, outer).message();
}

TEST(TesterDialog, AtTheScreenDpiTheDialogIsCentredOnItsWorkAreaAndTheAboutBoxOverIt) {
    ScreenDpi();
    if (::testing::Test::HasFailure()) return;
    RECT main{};
    EXPECT_FALSE(RunTester({
        [&] {
            HWND hDlg = Dialog();
            ::GetWindowRect(hDlg, &main);
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromWindow(hDlg, MONITOR_DEFAULTTONEAREST), &monitor));
            EXPECT_TRUE(Centred(main, monitor.rcWork)) << "the main dialog on its monitor's work area";
            ::PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        },
        [&] {
            HWND hAbout = FindAboutBox();
            ASSERT_NE(hAbout, nullptr);
            RECT about;
            ::GetWindowRect(hAbout, &about);
            EXPECT_TRUE(Centred(about, main)) << "the About box over the main dialog";
            PostKey(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, KeyParam(0x01, false));
        },
        [] { EXPECT_EQ(FindAboutBox(), nullptr); },
    }));
}

TEST(TesterDialog, AtTheScreenDpiEveryKeyLightsOnlyItselfAndItsLabelIsCentred) {
    const int dpi = ScreenDpi();
    if (::testing::Test::HasFailure()) return;

    std::vector<const KeyEntry*> keys;
    for (const KeyEntry& key : kKeys) {
        if (key.virtualKey != 0) keys.push_back(&key);
    }
    ASSERT_EQ(keys.size(), 75u);

    const COLORREF face = ::GetSysColor(COLOR_3DFACE);
    const COLORREF green = RGB(0, 255, 0);
    Pixels before;
    std::vector<ModalScript::Step> steps;
    steps.push_back([&] {
        HWND hDlg = Dialog();
        RECT client;
        ::GetClientRect(hDlg, &client);
        const double scale = dpi / 96.0;
        EXPECT_NEAR(client.right, kClientAt96Dpi.cx * scale, kClientAt96Dpi.cx * scale * 0.05) << dpi << " DPI";
        EXPECT_NEAR(client.bottom, kClientAt96Dpi.cy * scale, kClientAt96Dpi.cy * scale * 0.05) << dpi << " DPI";
        before = CaptureWindow(hDlg);

        // Each label's ink sits where the button's rule puts the label: halves truncated
        // separately, on the inside of the frame.
        const auto font = reinterpret_cast<HFONT>(::SendMessageA(hDlg, WM_GETFONT, 0, 0));
        for (const KeyEntry& key : kKeys) {
            SCOPED_TRACE("key " + std::to_string(key.id));
            HWND hKey = ::GetDlgItem(hDlg, key.id);
            RECT inner = KeyFace(hDlg, hKey);
            ::InflateRect(&inner, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
            const std::string label = Text(hKey);
            SIZE size{};
            const Pixels alone = RenderReference(200, 100, face, font, [&](HDC dc) {
                ::GetTextExtentPoint32A(dc, label.c_str(), static_cast<int>(label.size()), &size);
                ::SetBkMode(dc, TRANSPARENT);
                ::TextOutA(dc, 0, 0, label.c_str(), static_cast<int>(label.size()));
            });
            const RECT ink = InkBox(alone, RECT{0, 0, 200, 100}, face);
            const int x = (inner.left + inner.right) / 2 - size.cx / 2;
            const int y = (inner.top + inner.bottom) / 2 - size.cy / 2;
            // Home, PgUp and PgDn are wider than the inside of their keys at 96 DPI (Home at 144
            // DPI too) and run into the frame.
            const RECT placed{x + ink.left, y + ink.top, x + ink.right, y + ink.bottom};
            RECT expected;
            ::IntersectRect(&expected, &placed, &inner);
            const RECT shown = InkBox(before, inner, face);
            ASSERT_LT(shown.left, shown.right) << "no label";
            EXPECT_LE(std::abs(shown.left - expected.left), 1) << "left";
            EXPECT_LE(std::abs(shown.right - expected.right), 1) << "right";
            EXPECT_LE(std::abs(shown.top - expected.top), 1) << "top";
            EXPECT_LE(std::abs(shown.bottom - expected.bottom), 1) << "bottom";
        }
    });
    for (const KeyEntry* key : keys) {
        const UINT vk = key->virtualKey;
        const UINT scan = ::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
        // Pressed: its inside is pure green but for the label, which stays where it was, and
        // nothing outside the key changes.
        steps.push_back([=] { PostKey(Dialog(), WM_KEYDOWN, vk, KeyParam(scan, false)); });
        steps.push_back([&, key, vk, scan] {
            SCOPED_TRACE("key " + std::to_string(key->id) + ", virtual key " + std::to_string(vk));
            HWND hDlg = Dialog();
            EXPECT_EQ(LitKeys(), std::vector<int>{key->id});
            const Pixels held = CaptureWindow(hDlg);
            const RECT keyFace = KeyFace(hDlg, ::GetDlgItem(hDlg, key->id));
            EXPECT_EQ(FirstDifferenceOutside(held, before, keyFace), "");
            RECT inner = keyFace;
            ::InflateRect(&inner, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
            int wrong = 0;
            for (int py = inner.top; py < inner.bottom; ++py) {
                for (int px = inner.left; px < inner.right; ++px) {
                    wrong += (held.At(px, py) != green) != (before.At(px, py) != face) ? 1 : 0;
                }
            }
            EXPECT_EQ(wrong, 0) << "pixels inside the key that are neither green nor the label";
            EXPECT_GT(held.Count(green, inner), 0);
            PostKey(Dialog(), WM_KEYUP, vk, KeyParam(scan, true));
        });
        // Released: the whole dialog is as it was.
        steps.push_back([&, key] {
            SCOPED_TRACE("key " + std::to_string(key->id) + " released");
            EXPECT_EQ(LitKeys(), std::vector<int>{});
            const Pixels after = CaptureWindow(Dialog());
            EXPECT_EQ(after.FirstDifference(before, RECT{0, 0, before.Width(), before.Height()}), "");
        });
    }
    EXPECT_FALSE(RunTester(std::move(steps)));
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

// The dialog on the system's key names, the program's path on Windows. Wine answers with the
// Windows US-English names only without a display driver: ctest runs these as
// tester_dlg_tests_windows_names, with Wine's null driver.
class SystemKeyNames : public ::testing::Test {
protected:
    void SetUp() override {
        char name[50] = {};
        ::GetKeyNameTextA(0x00360001, name, sizeof name);
        if (std::strcmp(name, "Right Shift") != 0) {
            GTEST_SKIP() << "the system names the right Shift key \"" << name << "\", not \"Right Shift\"";
        }
        CTesterDlg::s_systemKeyNamesForTests = true;
    }
    void TearDown() override { CTesterDlg::s_systemKeyNamesForTests = false; }
};

// The lamps a key message must leave lit, from the tests' own account of the keys.
std::vector<int> ExpectedLit(WPARAM vk, LPARAM keyParam) {
    std::vector<int> lit;
    for (const int id : {KeyNamedBy(keyParam), KeyWithCode(vk)}) {
        if (id != 0) lit.push_back(id);
    }
    std::sort(lit.begin(), lit.end());
    return lit;
}

TEST_F(SystemKeyNames, EachModifierDownThenUpLightsOnlyItsOwnKey) {
    struct Modifier { UINT vk; UINT scan; bool extended; int id; };
    constexpr Modifier kModifiers[] = {{VK_SHIFT, 0x2A, false, 1054},   {VK_SHIFT, 0x36, false, 1062},
                                       {VK_CONTROL, 0x1D, false, 1055}, {VK_CONTROL, 0x1D, true, 1061},
                                       {VK_MENU, 0x38, false, 1057},    {VK_MENU, 0x38, true, 1059},
                                       {VK_LWIN, 0x5B, true, 1056},     {VK_RWIN, 0x5C, true, 1060}};
    std::vector<ModalScript::Step> steps;
    for (const Modifier& m : kModifiers) {
        for (const bool sys : {false, true}) {
            steps.push_back([&, sys] {
                PostKey(Dialog(), sys ? WM_SYSKEYDOWN : WM_KEYDOWN, m.vk, KeyParam(m.scan, false, sys, m.extended));
            });
            steps.push_back([&, sys] {
                EXPECT_EQ(LitKeys(), std::vector<int>{m.id}) << "down, scan " << std::hex << m.scan << " sys " << sys;
                PostKey(Dialog(), sys ? WM_SYSKEYUP : WM_KEYUP, m.vk, KeyParam(m.scan, true, sys, m.extended));
            });
            steps.push_back([&, sys] {
                EXPECT_EQ(LitKeys(), std::vector<int>{}) << "up, scan " << std::hex << m.scan << " sys " << sys;
            });
        }
    }
    EXPECT_FALSE(RunTester(std::move(steps)));
}

TEST_F(SystemKeyNames, EveryScanCodeLightsWhatItsNameAndCodeSay) {
    struct Press { WPARAM vk; LPARAM down, up; };
    std::vector<Press> presses;
    for (UINT scan = 0x01; scan <= 0x7F; ++scan) {
        for (const bool extended : {false, true}) {
            const UINT vk = ::MapVirtualKeyA(extended ? 0xE000 | scan : scan, MAPVK_VSC_TO_VK_EX);
            presses.push_back({vk, KeyParam(scan, false, false, extended), KeyParam(scan, true, false, extended)});
        }
    }
    // The layout is the one the expectations assume: the keypad with Num Lock off sends the
    // navigation codes, Num Enter Enter's.
    EXPECT_EQ(::MapVirtualKeyA(0x47, MAPVK_VSC_TO_VK_EX), static_cast<UINT>(VK_HOME));
    EXPECT_EQ(::MapVirtualKeyA(0xE01C, MAPVK_VSC_TO_VK_EX), static_cast<UINT>(VK_RETURN));

    int lighting = 0;
    std::vector<ModalScript::Step> steps;
    for (const Press& p : presses) {
        steps.push_back([&] { PostKey(Dialog(), WM_KEYDOWN, static_cast<UINT>(p.vk), p.down); });
        steps.push_back([&] {
            const std::vector<int> expected = ExpectedLit(p.vk, p.down);
            EXPECT_EQ(LitKeys(), expected) << "key parameter " << std::hex << p.down << ", virtual key " << p.vk;
            lighting += expected.empty() ? 0 : 1;
            PostKey(Dialog(), WM_KEYUP, static_cast<UINT>(p.vk), p.up);
        });
        steps.push_back([&] { EXPECT_EQ(LitKeys(), std::vector<int>{}) << "key parameter " << std::hex << p.up; });
    }
    EXPECT_FALSE(RunTester(std::move(steps)));
    std::printf("system key names: %zu scan codes sent, %d lit a key\n", presses.size(), lighting);
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

// Messages sent to windows of this thread, in order, while the hook below is set.
struct SentMessage {
    HWND hWnd;
    UINT message;
    bool operator==(const SentMessage& other) const { return hWnd == other.hWnd && message == other.message; }
};
std::vector<SentMessage> g_sent;
WPARAM g_iconEraseDc = 0;
POINT g_iconEraseOrigin{};  // the paint DC's origin on the screen

LRESULT CALLBACK RecordSentMessages(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION) {
        g_sent.push_back({call->hwnd, call->message});
        if (call->message == WM_ICONERASEBKGND) g_iconEraseDc = call->wParam;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MagentaAfterIconErase(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_ICONERASEBKGND) {
        RECT client;
        ::GetClientRect(call->hwnd, &client);
        ::GetDCOrgEx(reinterpret_cast<HDC>(call->wParam), &g_iconEraseOrigin);
        HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
        ::FillRect(reinterpret_cast<HDC>(call->wParam), &client, magenta);
        ::DeleteObject(magenta);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
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
        HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &RecordSentMessages, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        g_sent.clear();
        ::SendMessageA(hDlg, WM_COMMAND, ID_HELP, 0);
        ::UnhookWindowsHookEx(hook);
        EXPECT_EQ(std::count(g_sent.begin(), g_sent.end(), SentMessage{hDlg, WM_HELP}), 1)
            << "the application's Help command asks the main dialog";
        for (HWND h : VisibleThreadWindows()) EXPECT_EQ(h, hDlg) << Text(h);
    }}));
}

TEST(TesterDialog, MinimisingAndRestoringKeepsTheLamps) {
    EXPECT_FALSE(RunTester({
        [] {
            HWND hDlg = Dialog();
            PostKey(hDlg, WM_KEYDOWN, 'Z', KeyParam(0x2C, false));
            // The minimised paint erases through WM_ICONERASEBKGND, then draws the icon centred.
            // Wine gives a minimised window no client area, so the shown dialog, its keys hidden,
            // is marked minimised instead. Magenta laid over the paint DC once the erase is done
            // shows what is drawn after it.
            std::vector<HWND> children;
            for (HWND h = ::GetWindow(hDlg, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
            for (HWND h : children) ::ShowWindow(h, SW_HIDE);
            const LONG style = ::GetWindowLongA(hDlg, GWL_STYLE);
            ::SetWindowLongA(hDlg, GWL_STYLE, style | WS_MINIMIZE);
            ASSERT_TRUE(::IsIconic(hDlg));
            HHOOK sent = ::SetWindowsHookExA(WH_CALLWNDPROC, &RecordSentMessages, nullptr, ::GetCurrentThreadId());
            HHOOK erased = ::SetWindowsHookExA(WH_CALLWNDPROCRET, &MagentaAfterIconErase, nullptr, ::GetCurrentThreadId());
            g_sent.clear();
            g_iconEraseDc = 0;
            ::InvalidateRect(hDlg, nullptr, TRUE);
            ::UpdateWindow(hDlg);
            ::UnhookWindowsHookEx(erased);
            ::UnhookWindowsHookEx(sent);
            const auto paint = std::find(g_sent.begin(), g_sent.end(), SentMessage{hDlg, WM_PAINT});
            EXPECT_NE(paint, g_sent.end());
            EXPECT_NE(std::find(paint, g_sent.end(), SentMessage{hDlg, WM_ICONERASEBKGND}), g_sent.end())
                << "WM_ICONERASEBKGND is sent while painting";
            EXPECT_NE(g_iconEraseDc, 0u) << "with the paint DC";

            RECT client;
            ::GetClientRect(hDlg, &client);
            const HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
            const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
            const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
            // Wine gives a minimised window's paint DC the window's origin, not the client
            // area's: the picture is offset by the frame and caption, then cut by the frame.
            POINT clientOrigin{0, 0};
            ::ClientToScreen(hDlg, &clientOrigin);
            const int dx = clientOrigin.x - g_iconEraseOrigin.x;
            const int dy = clientOrigin.y - g_iconEraseOrigin.y;
            const Pixels shown = CaptureWindow(hDlg);
            ::SetWindowLongA(hDlg, GWL_STYLE, style);
            for (HWND h : children) ::ShowWindow(h, SW_SHOWNA);
            const Pixels expected = RenderReference(client.right, client.bottom, RGB(255, 0, 255), nullptr,
                                                    [&](HDC dc) { ::DrawIcon(dc, x - dx, y - dy, icon); });
            EXPECT_EQ(shown.FirstDifference(expected, RECT{0, 0, client.right - dx, client.bottom - dy}), "")
                << "the icon at " << x << "," << y << " of the paint DC, " << dx << "," << dy << " from the client area";
            ::ShowWindow(hDlg, SW_MINIMIZE);
        },
        [] {
            EXPECT_TRUE(::IsIconic(Dialog()));
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
    std::string text;  // "#N" for an ordinal, as an icon's resource number
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
    // A wide string, or 0xFFFF and an ordinal, given as "#N".
    std::string SzOrOrd() {
        if (m_p[0] == 0xFF && m_p[1] == 0xFF) {
            m_p += 2;
            return "#" + std::to_string(Word());
        }
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) text += static_cast<char>(c < 0x80 ? c : '?');
        return text;
    }
    void AlignDword() { while ((m_p - m_start) % 4 != 0) ++m_p; }
    // Extended templates give a help id, the extended style and the style; classic ones the style
    // and the extended style.
    void Styles(bool extended, DWORD* style, DWORD* exStyle) {
        if (extended) Dword();
        *(extended ? exStyle : style) = Dword();
        *(extended ? style : exStyle) = Dword();
    }
    void Skip(std::size_t bytes) { m_p += bytes; }

private:
    const BYTE* m_start;
    const BYTE* m_p;
};

DialogTemplateFields ReadTemplate(const BYTE* p) {
    DialogTemplateFields t;
    TemplateReader r(p);
    t.extended = p[2] == 0xFF && p[3] == 0xFF;
    if (t.extended) r.Dword();  // version and signature
    r.Styles(t.extended, &t.style, &t.exStyle);
    const WORD count = r.Word();
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
        r.Styles(t.extended, &item.style, &item.exStyle);
        item.x = r.Short(), item.y = r.Short(), item.cx = r.Short(), item.cy = r.Short();
        item.id = t.extended ? r.Dword() : r.Word();
        item.className = r.SzOrOrd();
        item.text = r.SzOrOrd();
        r.Skip(r.Word());  // creation data
        t.items.push_back(item);
    }
    return t;
}

constexpr const char* kButtonClass = "#128";  // the predefined classes by ordinal
constexpr const char* kStaticClass = "#130";

// One control as the template must hold it.
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
    EXPECT_EQ(item.text, e.text);
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


// A small XML reader for the manifest: elements with their namespace, attributes and text.
struct XmlElement {
    std::string ns;  // namespace URI, resolved through the xmlns declarations in scope
    std::string name;  // local name
    std::vector<std::pair<std::string, std::string>> attributes;  // xmlns declarations left out
    std::string text;
    std::vector<XmlElement> children;

    std::string Attribute(const char* attribute) const {
        for (const auto& a : attributes) {
            if (a.first == attribute) return a.second;
        }
        return "<none>";
    }
    // Every element of this name in the tree, this one included.
    void FindAll(const char* local, std::vector<const XmlElement*>& found) const {
        if (name == local) found.push_back(this);
        for (const XmlElement& child : children) child.FindAll(local, found);
    }
};

class XmlReader {
public:
    explicit XmlReader(std::string text) : m_text(std::move(text)) {}

    // The document element, or an element named "<error>" if the text is not well formed.
    XmlElement Read() {
        XmlElement root;
        SkipMisc();
        if (!ReadElement({{"", ""}}, root) || (SkipMisc(), m_pos != m_text.size())) root.name = "<error>";
        return root;
    }

private:
    using Scope = std::vector<std::pair<std::string, std::string>>;  // prefix, URI

    static std::string Resolve(const Scope& scope, const std::string& prefix) {
        for (auto it = scope.rbegin(); it != scope.rend(); ++it) {
            if (it->first == prefix) return it->second;
        }
        return "<unbound " + prefix + ">";
    }
    bool At(const char* s) const { return m_text.compare(m_pos, std::strlen(s), s) == 0; }
    void SkipSpace() {
        while (m_pos < m_text.size() && std::strchr(" \t\r\n", m_text[m_pos]) != nullptr) ++m_pos;
    }
    // White space, the XML declaration, comments; also skips a UTF-8 byte-order mark.
    void SkipMisc() {
        if (m_pos == 0 && At("\xEF\xBB\xBF")) m_pos = 3;
        for (;;) {
            SkipSpace();
            const char* end = At("<?") ? "?>" : At("<!--") ? "-->" : nullptr;
            if (end == nullptr) return;
            const std::size_t close = m_text.find(end, m_pos);
            m_pos = close == std::string::npos ? m_text.size() : close + std::strlen(end);
        }
    }
    std::string Name() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && std::strchr(" \t\r\n/>=", m_text[m_pos]) == nullptr) ++m_pos;
        return m_text.substr(start, m_pos - start);
    }
    static void Split(const std::string& qname, std::string& prefix, std::string& local) {
        const std::size_t colon = qname.find(':');
        prefix = colon == std::string::npos ? "" : qname.substr(0, colon);
        local = colon == std::string::npos ? qname : qname.substr(colon + 1);
    }
    bool ReadElement(Scope scope, XmlElement& element) {
        if (!At("<")) return false;
        ++m_pos;
        const std::string qname = Name();
        std::vector<std::pair<std::string, std::string>> raw;
        for (;;) {
            SkipSpace();
            if (At("/>") || At(">")) break;
            const std::string attribute = Name();
            SkipSpace();
            if (attribute.empty() || !At("=")) return false;
            ++m_pos;
            SkipSpace();
            if (m_pos >= m_text.size() || (m_text[m_pos] != '"' && m_text[m_pos] != '\'')) return false;
            const std::size_t close = m_text.find(m_text[m_pos], m_pos + 1);
            if (close == std::string::npos) return false;
            raw.emplace_back(attribute, m_text.substr(m_pos + 1, close - m_pos - 1));
            m_pos = close + 1;
        }
        for (const auto& a : raw) {
            if (a.first == "xmlns") scope.emplace_back("", a.second);
            else if (a.first.compare(0, 6, "xmlns:") == 0) scope.emplace_back(a.first.substr(6), a.second);
            else element.attributes.push_back(a);
        }
        std::string prefix;
        Split(qname, prefix, element.name);
        element.ns = Resolve(scope, prefix);
        if (At("/>")) {
            m_pos += 2;
            return true;
        }
        ++m_pos;
        for (;;) {
            const std::size_t open = m_text.find('<', m_pos);
            if (open == std::string::npos) return false;
            element.text += m_text.substr(m_pos, open - m_pos);
            m_pos = open;
            if (At("<!--")) {
                SkipMisc();
            } else if (At("</")) {
                m_pos += 2;
                if (Name() != qname) return false;
                SkipSpace();
                if (!At(">")) return false;
                ++m_pos;
                return true;
            } else {
                element.children.emplace_back();
                if (!ReadElement(scope, element.children.back())) return false;
            }
        }
    }

    std::string m_text;
    std::size_t m_pos = 0;
};

std::string Trimmed(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t\r\n");
    return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TEST(Resources, TheManifestAsksForNoElevationSystemDpiAndTheClassicControls) {
    HMODULE self = ::GetModuleHandleA(nullptr);
    HRSRC resource = ::FindResourceExA(self, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1),
                                       MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(resource, nullptr) << "no RT_MANIFEST 1 in US English";
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(self, resource)));
    ASSERT_NE(bytes, nullptr);
    const XmlElement assembly = XmlReader(std::string(bytes, ::SizeofResource(self, resource))).Read();
    ASSERT_EQ(assembly.name, "assembly") << "the manifest does not read as XML";
    EXPECT_EQ(assembly.ns, "urn:schemas-microsoft-com:asm.v1");
    EXPECT_EQ(assembly.Attribute("manifestVersion"), "1.0");

    std::vector<const XmlElement*> levels;
    assembly.FindAll("requestedExecutionLevel", levels);
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0]->Attribute("level"), "asInvoker");
    EXPECT_EQ(levels[0]->Attribute("uiAccess"), "false");

    // System DPI awareness in the 2005 namespace, and no per-monitor awareness anywhere.
    std::vector<const XmlElement*> dpi;
    assembly.FindAll("dpiAware", dpi);
    ASSERT_EQ(dpi.size(), 1u);
    EXPECT_EQ(dpi[0]->ns, "http://schemas.microsoft.com/SMI/2005/WindowsSettings");
    EXPECT_EQ(Lower(Trimmed(dpi[0]->text)), "true");
    std::vector<const XmlElement*> awareness;
    assembly.FindAll("dpiAwareness", awareness);
    EXPECT_TRUE(awareness.empty()) << "dpiAwareness overrides dpiAware on Windows 10";
    std::vector<const XmlElement*> settings;
    assembly.FindAll("windowsSettings", settings);
    ASSERT_EQ(settings.size(), 1u);
    EXPECT_EQ(settings[0]->ns, "urn:schemas-microsoft-com:asm.v3");

    std::vector<const XmlElement*> systems;
    assembly.FindAll("supportedOS", systems);
    std::vector<std::string> ids;
    for (const XmlElement* os : systems) {
        EXPECT_EQ(os->ns, "urn:schemas-microsoft-com:compatibility.v1");
        ids.push_back(Lower(os->Attribute("Id")));
    }
    std::sort(ids.begin(), ids.end());
    const std::vector<std::string> expected = {
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Windows Vista
    };
    EXPECT_EQ(ids, expected);

    // Common Controls 6 would give the keys and the About box the themed look.
    std::vector<const XmlElement*> dependencies;
    assembly.FindAll("dependency", dependencies);
    EXPECT_TRUE(dependencies.empty());
    std::vector<const XmlElement*> identities;
    assembly.FindAll("assemblyIdentity", identities);
    for (const XmlElement* identity : identities) {
        EXPECT_EQ(Lower(identity->Attribute("name")).find("common-controls"), std::string::npos);
    }

    // The system accepts it (a manifest it cannot read stops the program from starting) and
    // reads the same run level.
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path;
    request.hModule = self;
    request.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE context = ::CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "CreateActCtx: " << ::GetLastError();
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel{};
    EXPECT_TRUE(::QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &runLevel,
                               sizeof runLevel, nullptr))
        << ::GetLastError();
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(runLevel.UiAccess, 0u);
    ::ReleaseActCtx(context);
}

}  // namespace
