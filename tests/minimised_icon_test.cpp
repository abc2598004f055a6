// The dialog minimised paints the program's icon centred, after erasing through
// WM_ICONERASEBKGND.
#include <algorithm>

#include "dialog_fixture.h"
#include "resource.h"

using namespace testing_support;

namespace {

using MinimisedIcon = DialogTest;

TEST_F(MinimisedIcon, IsDrawnCentredAfterTheErase) {
    // Wine gives a minimised window no client area, so the shown dialog, its keys hidden, is
    // marked minimised instead. Magenta laid over the paint DC once the erase is done shows what
    // is drawn after it.
    HWND hDlg = Dialog();
    for (HWND h : Children(hDlg)) ::ShowWindow(h, SW_HIDE);
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
    // Wine gives a minimised window's paint DC the window's origin, not the client area's: the
    // picture is offset by the frame and caption, then cut by the frame.
    POINT clientOrigin{0, 0};
    ::ClientToScreen(hDlg, &clientOrigin);
    const int dx = clientOrigin.x - eraseOrigin.x;
    const int dy = clientOrigin.y - eraseOrigin.y;
    const Pixels shown = CaptureWindow(hDlg);
    ::SetWindowLongA(hDlg, GWL_STYLE, style);
    for (HWND h : Children(hDlg)) ::ShowWindow(h, SW_SHOWNA);
    const Pixels expected = RenderReference(client.right, client.bottom, RGB(255, 0, 255), nullptr,
                                            [&](HDC dc) { ::DrawIcon(dc, x - dx, y - dy, icon); });
    EXPECT_EQ(shown.FirstDifference(expected, RECT{0, 0, client.right - dx, client.bottom - dy}), "")
        << "the icon at " << x << "," << y << " of the paint DC, " << dx << "," << dy << " from the client area";
}

}  // namespace
