// Pixels: what a window shows, read back, and reference pictures drawn with the system's calls.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// A copy of a rectangle of pixels, as COLORREF values, top-down.
class Pixels {
public:
    Pixels() = default;
    Pixels(int width, int height) : m_width(width), m_height(height), m_data(static_cast<size_t>(width * height)) {}
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF At(int x, int y) const { return m_data[static_cast<size_t>(y * m_width + x)]; }
    COLORREF& At(int x, int y) { return m_data[static_cast<size_t>(y * m_width + x)]; }
    // Counts the pixels of `colour` in [left, right) x [top, bottom).
    int Count(COLORREF colour, const RECT& area) const;
    // Describes the first pixel inside `area` that differs from `other`, or "" if none does.
    std::string FirstDifference(const Pixels& other, const RECT& area) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<COLORREF> m_data;
};

// What `hWnd` shows in its client area, once it and its children have painted what is pending.
Pixels CaptureWindow(HWND hWnd);

// Runs `draw` on a memory DC of `width` x `height` prefilled with `background` and returns the
// result: a reference picture drawn directly with the system's calls.
template <class Draw>
Pixels RenderReference(int width, int height, COLORREF background, HFONT font, Draw draw);

// Implementation detail of RenderReference.
Pixels ReadDib(HDC memoryDc, HBITMAP bitmap, int width, int height);
HBITMAP CreateDib(HDC dc, int width, int height);

template <class Draw>
Pixels RenderReference(int width, int height, COLORREF background, HFONT font, Draw draw) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDib(screen, width, height);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    HGDIOBJ oldFont = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    RECT all{0, 0, width, height};
    ::SetBkColor(dc, background);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, "", 0, nullptr);
    draw(dc);
    ::GdiFlush();
    Pixels result = ReadDib(dc, bitmap, width, height);
    if (oldFont != nullptr) ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return result;
}

}  // namespace testing_support
