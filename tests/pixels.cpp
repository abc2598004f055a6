#include "pixels.h"

#include <cstdio>

namespace testing_support {

int Pixels::Count(COLORREF colour, const RECT& area) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) n += At(x, y) == colour ? 1 : 0;
    }
    return n;
}

std::string Pixels::FirstDifference(const Pixels& other, const RECT& area, const RECT& except) const {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (At(x, y) != other.At(x, y) && !::PtInRect(&except, POINT{x, y})) {
                char text[96];
                std::snprintf(text, sizeof text, "pixel (%d,%d) is %06lX, expected %06lX", x, y,
                              static_cast<unsigned long>(At(x, y)), static_cast<unsigned long>(other.At(x, y)));
                return text;
            }
        }
    }
    return "";
}

Pixels CaptureWindow(HWND hWnd) {
    // Paints what is pending here and now; pumping the queue could run a test's later steps.
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::GdiFlush();
    RECT rect;
    ::GetClientRect(hWnd, &rect);
    HDC windowDc = ::GetDC(hWnd);
    Pixels pixels = RenderReference(rect.right, rect.bottom, 0, nullptr, [&](HDC dc) {
        ::BitBlt(dc, 0, 0, rect.right, rect.bottom, windowDc, 0, 0, SRCCOPY);
    });
    ::ReleaseDC(hWnd, windowDc);
    return pixels;
}

Pixels RenderReference(int width, int height, COLORREF background, HFONT font, const std::function<void(HDC)>& draw) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // top-down
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    HGDIOBJ oldFont = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    RECT all{0, 0, width, height};
    ::SetBkColor(dc, background);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, "", 0, nullptr);
    draw(dc);
    ::GdiFlush();
    Pixels pixels(width, height);
    const auto* bgrx = static_cast<const DWORD*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, ++bgrx) pixels.At(x, y) = RGB(*bgrx >> 16 & 0xFF, *bgrx >> 8 & 0xFF, *bgrx & 0xFF);
    }
    if (oldFont != nullptr) ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

Pixels ReferenceKey(int width, int height, HFONT font, bool lit, const std::wstring& label, int labelX) {
    return RenderReference(width, height, RGB(255, 0, 255), font, [&](HDC dc) {
        RECT rect{0, 0, width, height};
        ::DrawFrameControl(dc, &rect, DFC_BUTTON, lit ? DFCS_BUTTONPUSH | DFCS_PUSHED : DFCS_BUTTONPUSH);
        ::InflateRect(&rect, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
        if (lit) {
            ::SetBkColor(dc, RGB(0, 255, 0));
            ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, "", 0, nullptr);
        }
        if (label.empty()) return;
        SIZE size{};
        ::GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::TextOutW(dc, labelX != kCentred ? labelX : (rect.left + rect.right) / 2 - size.cx / 2,
                   (rect.top + rect.bottom) / 2 - size.cy / 2, label.c_str(), static_cast<int>(label.size()));
    });
}

}  // namespace testing_support
