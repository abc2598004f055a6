// Key messages in the dialog's real modal loop light their keys and nothing else happens: keys
// that would operate a dialog, a key button with the focus, the modifiers, mouse clicks, and
// the dialog minimised and restored.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "dialog_fixture.h"
#include "resource.h"
#include "window_test_support.h"

using namespace testing_support;

namespace {

const KeyFacts& Facts(WPARAM virtualKey) {
    return *KeyWithCode(virtualKey);
}

TEST(KeyLighting, KeysThatWouldOperateADialogOnlyLightTheirKeys) {
    struct Press { const KeyFacts& key; bool sys; };
    const Press presses[] = {{Facts(VK_ESCAPE), false}, {Facts(VK_RETURN), false}, {Facts(VK_TAB), false},
                             {Facts(VK_SPACE), false},  {Facts(VK_F1), false},     {kModifiers[4], true},  // Alt
                             {Facts(VK_F4), true},      {Facts(VK_SPACE), true}};
    HWND focusBefore = nullptr;
    // Sent where the system sends them: to the focus.
    auto post = [&](const Press& p, bool up) {
        const UINT message = p.sys ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
        PostKey(focusBefore != nullptr ? focusBefore : Dialog(), message, p.key.virtualKey,
                KeyParam(p.key.scan, up, p.sys, p.key.extended));
    };
    EXPECT_FALSE(RunTester({
        [&] {
            focusBefore = ::GetFocus();
            for (const Press& p : presses) post(p, false);
        },
        [&] {
            HWND hDlg = Dialog();
            ASSERT_NE(hDlg, nullptr) << "the dialog was closed";
            EXPECT_TRUE(::IsWindowVisible(hDlg));
            EXPECT_EQ(::GetFocus(), focusBefore) << "the focus moved";
            for (HWND h : VisibleThreadWindows()) EXPECT_EQ(h, hDlg) << "a window opened: '" << Text(h) << "'";
            EXPECT_EQ(LitKeys(), (std::vector<int>{1039, 1042, 1051, 1052, 1057, 1058, 1070}));
            for (const Press& p : presses) post(p, true);
        },
        [] { EXPECT_EQ(LitKeys(), std::vector<int>{}); },
    }));
}

TEST(KeyLighting, AKeyQueuedToTheFocusedKeyButtonIsRoutedTheSame) {
    auto post = [](WPARAM vk, bool up) {
        const KeyFacts& key = Facts(vk);
        PostKey(::GetFocus(), up ? WM_KEYUP : WM_KEYDOWN, key.virtualKey, KeyParam(key.scan, up));
    };
    EXPECT_FALSE(RunTester({
        [&] {
            ::SetFocus(::GetDlgItem(Dialog(), 1001));
            post('Q', false);
            post(VK_TAB, false);
        },
        [&] {
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(Dialog(), 1001));
            EXPECT_EQ(LitKeys(), (std::vector<int>{1017, 1052}));
            post('Q', true);
        },
        [] { EXPECT_EQ(LitKeys(), std::vector<int>{1052}); },
    }));
}

TEST(KeyLighting, EachModifierLightsItsOwnKey) {
    // Each alone, Alt as a system key; then all eight held together and released one at a
    // time: each clears its own key only.
    auto sys = [](const KeyFacts& key) { return key.virtualKey == VK_MENU; };
    Steps steps;
    for (const KeyFacts& key : kModifiers) {
        PressCheckRelease(
            steps, key, sys(key), [id = key.id] { EXPECT_EQ(LitKeys(), std::vector<int>{id}); },
            [id = key.id] { EXPECT_EQ(LitKeys(), std::vector<int>{}) << id << " released"; });
    }
    steps.push_back([&] {
        for (const KeyFacts& key : kModifiers) PostKey(key, false, sys(key));
    });
    std::vector<int> lit;
    for (const KeyFacts& key : kModifiers) lit.push_back(key.id);
    std::sort(lit.begin(), lit.end());
    for (const KeyFacts& key : kModifiers) {
        steps.push_back([&, lit] {
            EXPECT_EQ(LitKeys(), lit);
            PostKey(key, true, sys(key));
        });
        lit.erase(std::find(lit.begin(), lit.end(), key.id));
    }
    steps.push_back([] { EXPECT_EQ(LitKeys(), std::vector<int>{}); });
    EXPECT_FALSE(RunTester(std::move(steps)));
}

TEST(KeyLighting, AMouseClickOnAKeyChangesNothing) {
    Pixels before;
    auto unchanged = [&] {
        EXPECT_EQ(LitKeys(), std::vector<int>{});
        EXPECT_EQ(CaptureWindow(Dialog()).FirstDifference(before, RECT{0, 0, before.Width(), before.Height()}), "");
    };
    EXPECT_FALSE(RunTester({
        [&] {
            before = CaptureWindow(Dialog());
            ::PostMessageA(::GetDlgItem(Dialog(), 1058), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        },
        [&] {
            unchanged();
            ::PostMessageA(::GetDlgItem(Dialog(), 1058), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        },
        [&] {
            ASSERT_NE(Dialog(), nullptr);
            unchanged();
            for (HWND h : VisibleThreadWindows()) EXPECT_EQ(h, Dialog()) << Text(h);
        },
    }));
}

TEST(KeyLighting, MinimisingAndRestoringKeepsTheLamps) {
    EXPECT_FALSE(RunTester({
        [] {
            HWND hDlg = Dialog();
            PostKey(Facts('Z'), false);
            // The minimised paint erases through WM_ICONERASEBKGND, then draws the icon centred.
            // Wine gives a minimised window no client area, so the shown dialog, its keys hidden,
            // is marked minimised instead. Magenta laid over the paint DC once the erase is done
            // shows what is drawn after it.
            const std::vector<HWND> children = Children(hDlg);
            for (HWND h : children) ::ShowWindow(h, SW_HIDE);
            const LONG style = ::GetWindowLongA(hDlg, GWL_STYLE);
            ::SetWindowLongA(hDlg, GWL_STYLE, style | WS_MINIMIZE);
            ASSERT_TRUE(::IsIconic(hDlg));
            std::vector<UINT> sent;
            POINT eraseOrigin{};  // the paint DC's origin on the screen
            bool erased = false;
            {
                MessageHook seen([&](HWND hWnd, UINT message, WPARAM, LPARAM) {
                    if (hWnd == hDlg) sent.push_back(message);
                });
                MessageHook magenta(
                    [&](HWND hWnd, UINT message, WPARAM wParam, LPARAM) {
                        if (hWnd != hDlg || message != WM_ICONERASEBKGND || wParam == 0) return;
                        erased = true;
                        const auto dc = reinterpret_cast<HDC>(wParam);
                        RECT client;
                        ::GetClientRect(hWnd, &client);
                        ::GetDCOrgEx(dc, &eraseOrigin);
                        HBRUSH brush = ::CreateSolidBrush(RGB(255, 0, 255));
                        ::FillRect(dc, &client, brush);
                        ::DeleteObject(brush);
                    },
                    true);
                ::InvalidateRect(hDlg, nullptr, TRUE);
                ::UpdateWindow(hDlg);
            }
            const auto paint = std::find(sent.begin(), sent.end(), static_cast<UINT>(WM_PAINT));
            EXPECT_NE(std::find(paint, sent.end(), static_cast<UINT>(WM_ICONERASEBKGND)), sent.end())
                << "WM_ICONERASEBKGND is sent while painting";
            EXPECT_TRUE(erased) << "with the paint DC";

            RECT client;
            ::GetClientRect(hDlg, &client);
            const HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
            const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
            const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
            // Wine gives a minimised window's paint DC the window's origin, not the client
            // area's: the picture is offset by the frame and caption, then cut by the frame.
            POINT clientOrigin{0, 0};
            ::ClientToScreen(hDlg, &clientOrigin);
            const int dx = clientOrigin.x - eraseOrigin.x;
            const int dy = clientOrigin.y - eraseOrigin.y;
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

}  // namespace
