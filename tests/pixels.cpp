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

std::string Pixels::FirstDifference(const Pixels& other, const RECT& area) const {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (At(x, y) != other.At(x, y)) {
                char text[96];
                std::snprintf(text, sizeof text, "pixel (%d,%d) is %06lX, expected %06lX", x, y,
                              static_cast<unsigned long>(At(x, y)), static_cast<unsigned long>(other.At(x, y)));
                return text;
            }
        }
    }
    return "";
}

namespace {

// 32 bits a pixel, top-down.
BITMAPINFO DibInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

HBITMAP CreateDib(HDC dc, int width, int height) {
    BITMAPINFO info = DibInfo(width, height);
    void* bits = nullptr;
    return ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

Pixels ReadDib(HDC memoryDc, HBITMAP bitmap, int width, int height) {
    Pixels pixels(width, height);
    BITMAPINFO info = DibInfo(width, height);
    std::vector<DWORD> raw(static_cast<size_t>(width * height));
    ::GetDIBits(memoryDc, bitmap, 0, static_cast<UINT>(height), raw.data(), &info, DIB_RGB_COLORS);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const DWORD bgrx = raw[static_cast<size_t>(y * width + x)];
            pixels.At(x, y) = RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
        }
    }
    return pixels;
}

Pixels CaptureWindow(HWND hWnd) {
    // Paints what is pending here and now; pumping the queue could run a test's later steps.
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::GdiFlush();
    RECT rect;
    ::GetClientRect(hWnd, &rect);
    const int width = rect.right;
    const int height = rect.bottom;
    HDC windowDc = ::GetDC(hWnd);
    HDC dc = ::CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDib(windowDc, width, height);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::BitBlt(dc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    ::GdiFlush();
    Pixels pixels = ReadDib(dc, bitmap, width, height);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(hWnd, windowDc);
    return pixels;
}

}  // namespace testing_support
