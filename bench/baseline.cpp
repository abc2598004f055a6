// The smallest plain Win32 program that does what one key of the tester does: a window with one
// owner-drawn button, drawn pushed in and filled green while any key is held down. Key messages
// are taken from the message loop before dispatch, as the tester's dialog loop takes them, and the
// button is invalidated and painted on a later loop pass, as the tester's keys are.
#include <windows.h>

namespace {

const char kTitle[] = "ZENTAQ Baseline";
bool g_lit = false;
HWND g_button = nullptr;

void SetLit(bool lit) {
    if (lit == g_lit) return;
    g_lit = lit;
    ::InvalidateRect(g_button, nullptr, TRUE);
}

void DrawButton(const DRAWITEMSTRUCT& item) {
    RECT rect = item.rcItem;
    ::DrawFrameControl(item.hDC, &rect, DFC_BUTTON, g_lit ? DFCS_BUTTONPUSH | DFCS_PUSHED : DFCS_BUTTONPUSH);
    ::InflateRect(&rect, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
    if (g_lit) {
        ::SetBkColor(item.hDC, RGB(0, 255, 0));
        ::ExtTextOutA(item.hDC, 0, 0, ETO_OPAQUE, &rect, "", 0, nullptr);
    }
    const int oldMode = ::SetBkMode(item.hDC, TRANSPARENT);
    ::DrawTextA(item.hDC, "A", 1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetBkMode(item.hDC, oldMode);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM:
        DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DESTROY: {
        const RAWINPUTDEVICE keyboard = {0x01, 0x06, RIDEV_REMOVE, nullptr};
        ::RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
        ::PostQuitMessage(0);
        return 0;
    }
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "ZentaqBaseline";
    if (!::RegisterClassA(&windowClass)) return 1;

    // Top left, clear of the tester's dialog, which Wine centres: bench/run.sh runs both side by side.
    const HWND window = ::CreateWindowA("ZentaqBaseline", kTitle, WS_CAPTION | WS_SYSMENU, 100, 100, 200, 140,
                                        nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    g_button = ::CreateWindowA("BUTTON", "A", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 60, 30, 64, 48, window,
                               nullptr, instance, nullptr);
    // The tester keeps the keyboard's hot keys while it runs; so does this, to do the same work.
    const RAWINPUTDEVICE keyboard = {0x01, 0x06, RIDEV_NOHOTKEYS, window};
    ::RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
    ::ShowWindow(window, show);
    ::UpdateWindow(window);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            SetLit(true);
            continue;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            SetLit(false);
            continue;
        default:
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
