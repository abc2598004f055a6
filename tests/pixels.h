// Pixels: what a window shows, read back, and reference pictures drawn with the system's calls.
#pragma once

#include <windows.h>

#include <climits>
#include <functional>
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
    // Describes the first pixel inside `area` but outside `except` that differs from `other`, or
    // "" if none does.
    std::string FirstDifference(const Pixels& other, const RECT& area, const RECT& except = {}) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<COLORREF> m_data;
};

// What `hWnd` shows in its client area, once it and its children have painted what is pending.
Pixels CaptureWindow(HWND hWnd);

// What `draw` draws on a memory DC of `width` x `height` prefilled with `background`, with `font`
// selected unless nullptr: a reference picture drawn directly with the system's calls.
Pixels RenderReference(int width, int height, COLORREF background, HFONT font, const std::function<void(HDC)>& draw);

// A key as CKeyButton draws it: the frame, pushed and filled green if `lit`, and `label` in `font`
// at `labelX` on the inside, or centred there with the halves truncated separately.
constexpr int kCentred = INT_MIN;
Pixels ReferenceKey(int width, int height, HFONT font, bool lit, const std::wstring& label, int labelX = kCentred);

}  // namespace testing_support
