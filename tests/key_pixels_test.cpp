// Every key lights only itself, green inside its frame but for its label, and every label sits
// centred where the key button's rule puts it. The plain Wine set-up runs it at 96 DPI, another
// at 144.
#include <algorithm>
#include <cstdlib>

#include "dialog_fixture.h"
#include "resource.h"

using namespace testing_support;

namespace {

using KeyPixels = DialogTest;

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

// The inside of a key's frame in the dialog's client coordinates, where the lamp and label go.
RECT KeyInside(HWND hDlg, HWND hKey) {
    RECT rect;
    ::GetClientRect(hKey, &rect);
    ::MapWindowPoints(hKey, hDlg, reinterpret_cast<POINT*>(&rect), 2);
    ::InflateRect(&rect, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
    return rect;
}

TEST_F(KeyPixels, EveryKeyLightsOnlyItselfAndItsLabelIsCentred) {
    const COLORREF face = ::GetSysColor(COLOR_3DFACE);
    const COLORREF green = RGB(0, 255, 0);
    HWND hDlg = Dialog();
    const Pixels before = CaptureWindow(hDlg);
    const RECT all{0, 0, before.Width(), before.Height()};

    // Each label's ink sits where the button's rule puts the label: halves truncated separately,
    // on the inside of the frame.
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(hDlg, WM_GETFONT, 0, 0));
    for (HWND hKey : Children(hDlg)) {
        if (::GetDlgCtrlID(hKey) == IDC_LOGO) continue;
        SCOPED_TRACE("key " + std::to_string(::GetDlgCtrlID(hKey)));
        const RECT inner = KeyInside(hDlg, hKey);
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
        // Home, PgUp and PgDn are wider than the inside of their keys at 96 DPI (Home at 144 DPI
        // too) and run into the frame.
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

    // Held: its inside is pure green but for the label, which stays where it was, and nothing
    // outside the key changes. Released: the whole dialog is as it was.
    PressEach(
        Alone(kCodedKeys),
        [&](const Stroke& stroke) {
            const Pixels held = CaptureWindow(hDlg);
            const RECT inner = KeyInside(hDlg, ::GetDlgItem(hDlg, stroke.key.id));
            RECT frame = inner;
            ::InflateRect(&frame, ::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CYEDGE));
            EXPECT_EQ(held.FirstDifference(before, all, frame), "");
            int wrong = 0;
            for (int py = inner.top; py < inner.bottom; ++py) {
                for (int px = inner.left; px < inner.right; ++px) {
                    wrong += (held.At(px, py) != green) != (before.At(px, py) != face) ? 1 : 0;
                }
            }
            EXPECT_EQ(wrong, 0) << "pixels inside the key that are neither green nor the label";
            EXPECT_GT(held.Count(green, inner), 0);
        },
        [&](const Stroke&) {
            EXPECT_EQ(CaptureWindow(hDlg).FirstDifference(before, all), "");
        });
}

}  // namespace
